#include "engine/ftpdownload.h"

#include "engine/filenaming.h"
#include "engine/ftpurl.h"
#include "engine/statustexts.h"
#include "engine/urldownload.h"
#include "platform/streams.h"
#include "protocols/httpconnecttunnel.h"
#include "protocols/idexceptions.h"

#include <variant>

namespace hl {

QString FtpDownload::OutputPath(UrlDownload& download, const QString& folder) {
    const DownloadOptions& options = download.Options();
    return folder + FileNameFromURL(download.Url(), options.fullUrl, options.includeParams) +
           SanitizeFileName(options.extension);
}

void FtpDownload::Connect(UrlDownload& download) {
    configure(download);
    applyProxy(download);
    ftp_.Connect();
    // The URL's escapes are decoded for the server; how its bytes are written depends on whether
    // the server switched to UTF-8 while logging in.
    remotePath_ = ftp_.PathFromBytes(FtpPathBytes(ParseFtpURL(download.Url()).path));
}

void FtpDownload::configure(UrlDownload& download) {
    const DownloadOptions& options = download.Options();
    const FtpUrlTarget target = ParseFtpURL(download.Url());
    ftp_.Tag = download.Slot();
    ftp_.Host = target.host;
    ftp_.Port = target.port;
    // Credentials written in the URL are not used: the download always logs in anonymously.
    ftp_.Username = QLatin1String(kUsername);
    ftp_.Password = QLatin1String(kPassword);
    ftp_.ConnectTimeout = options.connectTimeoutMs;
    ftp_.ReadTimeout = options.readTimeoutMs;
    ftp_.TransferType = TIdFTPTransferType::ftBinary;
    ftp_.Resolver = download.Environment().resolver;
    // A server that falls silent reports no work; STOP still ends its session or its transfer.
    ftp_.ShouldAbort = [&download] { return download.StopRequested(); };
}

void FtpDownload::applyProxy(UrlDownload& download) {
    const ProxyRoute route = download.TakeProxyRoute();
    if (const auto* http = std::get_if<HttpProxySettings>(&route)) {
        // FTP through an HTTP proxy: a CONNECT tunnel for the control connection and for each
        // data connection.
        HttpConnectTunnel tunnel;
        tunnel.Host = http->ProxyServer;
        tunnel.Port = http->ProxyPort;
        tunnel.Username = http->ProxyUsername;
        tunnel.Password = http->ProxyPassword;
        ftp_.SetTransparentProxy(&tunnel);
    } else if (const auto* socks = std::get_if<TIdSocksInfo>(&route)) {
        ftp_.SetTransparentProxy(socks);
    }
}

FetchResult FtpDownload::Fetch(UrlDownload& download, TFileStream& file, bool resume) {
    ftp_.OnWorkBegin = [&download](TWorkMode, qint64) { download.Progress().Restart(); };
    // The bar shows this transfer's share of the whole file; a resumed transfer starts from 0.
    download.Progress().SetLength([this] { return AnnouncedLength(totalSize_, QString()); });
    ftp_.OnWork = [this, &download](TWorkMode, qint64 count) {
        download.ReportWork(count);
        if (download.StopRequested()) ftp_.Abort();
    };
    totalSize_ = ftp_.Size(remotePath_);
    if (resume) file.Seek(file.Size());
    try {
        ftp_.Get(remotePath_, file, resume && file.Position() > 0);
    } catch (const EIdException&) {
        if (!download.CutByStop()) throw;
    }
    if (download.CutByStop()) return {};
    // The data connection's close is the only end of an FTP transfer; a file shorter than the
    // server said must not pass for a download.
    if (totalSize_ > 0 && file.Size() < totalSize_) throw EIdConnClosedGracefully();
    return {};
}

} // namespace hl
