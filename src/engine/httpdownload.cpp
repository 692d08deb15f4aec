#include "engine/httpdownload.h"

#include "engine/filenaming.h"
#include "engine/resumestream.h"
#include "engine/statustexts.h"
#include "engine/urldownload.h"
#include "engine/urlrewriting.h"
#include "protocols/httpexceptions.h"

#include <variant>

namespace hl {

namespace {

constexpr int kRedirectMaximum = 9;
constexpr int kEmptyBodyAttempts = 3;
// A resumed transfer fetches the last kilobyte on disk again, in case it was written incompletely.
constexpr qint64 kResumeOverlap = 1024;

} // namespace

HttpDownload::HttpDownload() : transport_(std::make_shared<TIdSSLIOHandlerSocketOpenSSL>()) {
    transport_->SSLOptions.SetSSLVersions({TIdSSLVersion::sslvSSLv23, TIdSSLVersion::sslvTLSv1,
                                           TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2});
}

QString HttpDownload::RequestUrl(const QString& url) const {
    return EncodeSpaces(RewriteSharingLink(url));
}

void HttpDownload::configure(UrlDownload& download) {
    const DownloadOptions& options = download.Options();
    transport_->SSLOptions.Verification = {options.strictTls, options.caFile};
    transport_->Resolver = download.Environment().resolver;
    // A server that stops sending reports no work; STOP still ends its connection and its HEAD.
    transport_->ShouldAbort = [&download] { return download.StopRequested(); };
    http_.Tag = download.Slot();
    http_.ConnectTimeout = options.connectTimeoutMs;
    http_.ReadTimeout = options.readTimeoutMs;
    if (options.zlibCompression) http_.Compressor = std::make_shared<TIdCompressorZLib>();
    http_.HandleRedirects = true;
    http_.RedirectMaximum = kRedirectMaximum;
    http_.Request.UserAgent = options.userAgent;
    http_.IOHandler = transport_;

    http_.OnRedirect = [&download](QString& dest, int&, bool& handled, QString&) {
        handled = true;
        download.RecordRedirect(dest);
    };
    http_.OnWorkBegin = [&download](TWorkMode mode, qint64) {
        if (mode == wmRead) download.Progress().Restart();
    };
    download.Progress().SetLength(
        [this] { return AnnouncedLength(http_.Response.ContentLength, http_.Response.TransferEncoding); });
    http_.OnWork = [this, &download](TWorkMode mode, qint64 count) {
        if (mode != wmRead) return;
        download.ReportWork(count);
        if (download.StopRequested()) http_.Disconnect();
    };

    // One proxy line serves the HEAD and every attempt of this URL.
    const ProxyRoute route = download.TakeProxyRoute();
    if (const auto* proxy = std::get_if<HttpProxySettings>(&route)) {
        http_.ProxyParams.ProxyServer = proxy->ProxyServer;
        http_.ProxyParams.ProxyPort = proxy->ProxyPort;
        http_.ProxyParams.ProxyUsername = proxy->ProxyUsername;
        http_.ProxyParams.ProxyPassword = proxy->ProxyPassword;
    } else if (const auto* socks = std::get_if<TIdSocksInfo>(&route)) {
        transport_->SetTransparentProxy(socks);
    }
}

QString HttpDownload::OutputPath(UrlDownload& download, const QString& folder) {
    configure(download);
    const DownloadOptions& options = download.Options();
    QString name;
    if (options.serverProposedName) {
        http_.Head(download.Url());
        name = FileNameFromContentDisposition(http_.Response.ContentDisposition);
    }
    if (name.isEmpty()) name = FileNameFromURL(download.Url(), options.fullUrl, options.includeParams);
    return folder + name + SanitizeFileName(options.extension);
}

bool HttpDownload::get(UrlDownload& download, ResumeTargetStream& destination) {
    download.Progress().Restart();
    try {
        http_.Get(download.Url(), &destination);
    } catch (const EIdException&) {
        if (!download.CutByStop()) throw;
    }
    return !download.CutByStop();
}

void HttpDownload::requireCompleteBody(const UrlDownload& download) const {
    const TIdHTTPResponse& reply = http_.Response;
    const bool chunked = reply.TransferEncoding.toLower().contains(QStringLiteral("chunked"));
    if (reply.ResponseCode / 100 == 2 && !chunked && reply.HasContentLength &&
        download.Progress().Bytes() < reply.ContentLength)
        throw EIdConnClosedGracefully();
}

void HttpDownload::requireWholeFileAfterRange(const TFileStream& file) const {
    // A range states the length of the whole file; one that stops short of it leaves a file that
    // is only the start of the download (kept, so that a later run continues it).
    const TIdHTTPResponse& reply = http_.Response;
    if (reply.ResponseCode == 206 && file.Size() < reply.ContentRange.InstanceLength)
        throw EResumeRangeShort();
}

FetchResult HttpDownload::Fetch(UrlDownload& download, TFileStream& file, bool resume) {
    if (resume) {
        const qint64 resumeAt = std::max<qint64>(file.Size() - kResumeOverlap, 0);
        file.Seek(resumeAt);
        http_.Request.Range = QString::number(resumeAt) + QLatin1Char('-');
    }
    // A server that ignores the range sends the whole file: it is then written from byte 0. A 206
    // goes where its Content-Range says it starts.
    const auto wholeFileReply = [this] {
        const int code = http_.Response.ResponseCode;
        return code / 100 == 2 && code != 206;
    };
    const auto bodyStart = [this, &wholeFileReply](qint64 resumeAt) -> qint64 {
        if (wholeFileReply()) return 0;
        const qint64 stated = http_.Response.ResponseCode == 206 ? http_.Response.ContentRange.Start : -1;
        return stated >= 0 ? stated : resumeAt;
    };
    ResumeTargetStream destination(file, bodyStart);
    for (int attempts = 1;; ++attempts) {
        if (!get(download, destination)) return {};
        requireCompleteBody(download);
        requireWholeFileAfterRange(file);
        // The redirect limit ends the call with nothing written; the old bytes of a partial file
        // must not then pass for the finished download.
        if (resume && http_.Response.ResponseCode / 100 == 3)
            throw EIdHTTPProtocolException(http_.Response.ResponseText, http_.Response.ResponseCode, {});
        // The whole file, and it was empty: nothing of the old partial file belongs to it.
        if (resume && wholeFileReply() && !destination.StartedBeforeResumePosition()) file.SetSize(0);
        if (file.Size() != 0) return {};
        // An empty body is asked for again at once, with the same client.
        file.SetSize(0);
        file.Seek(0);
        if (attempts >= kEmptyBodyAttempts || download.StopRequested()) return {attempts};
    }
}

} // namespace hl
