#include "engine/ftpdownload.h"

#include "engine/csvsplit.h"
#include "engine/filenaming.h"
#include "engine/ftpurl.h"
#include "engine/proxyroute.h"
#include "engine/statustexts.h"
#include "protocols/httpconnecttunnel.h"
#include "protocols/idexceptions.h"
#include "protocols/idftp.h"

#include <variant>

namespace hl {

FtpDownload::FtpDownload(DownloadWindow& window, RunState& state, const EngineEnvironment& environment,
                         const RunSettings& settings, QString url, bool multithreaded)
    : state_(state), environment_(environment), settings_(settings),
      actions_(window, state, *environment.clock), url_(std::move(url)), multithreaded_(multithreaded),
      work_(actions_, environment, multithreaded) {}

void FtpDownload::Run() {
    if (state_.StopRequested.requested() || url_.trimmed().isEmpty()) return;
    const DownloadOptions options = actions_.StartUrl(url_, multithreaded_).options;

    const CsvTarget target = TargetOfLine(url_, options.saveFolder, options.treatAsCsv);
    url_ = target.url;

    state_.Counters.CountDownloading += 1;
    try {
        transfer(options, target.folder);
    } catch (const std::exception& error) {
        discardEmptyFiles();
        actions_.FinishAfterError(slot_, error, cutByStop_, url_, ProxySatir, options.showErrors);
    }
}

void FtpDownload::transfer(const DownloadOptions& options, const QString& folder) {
    const QString filename = folder + FileNameFromURL(url_, options.fullUrl, options.includeParams) +
                             SanitizeFileName(options.extension);
    // Decided before the server is contacted, for any file of that name: an empty one may be the
    // name reservation of a download of the same name still under way. One that a killed download
    // left beside its partial file is no download; that partial file is continued instead.
    const bool killedBefore = options.skipExisting && state_.Reservations.IsLeftOfKilledDownload(filename);
    if (options.skipExisting && FileExists(filename) && !killedBefore) {
        actions_.FinishSkipped(slot_, url_);
        return;
    }

    const FtpUrlTarget target = ParseFtpURL(url_);
    TIdFTP ftp;
    slot_ = actions_.ClaimSlot();
    ftp.Tag = slot_;
    configure(ftp, options, target);
    if (settings_.useProxy) applyProxy(ftp);
    ftp.Connect();
    // The URL's escapes are decoded for the server; how its bytes are written depends on whether
    // the server switched to UTF-8 while logging in.
    const QString remotePath = ftp.PathFromBytes(FtpPathBytes(target.path));

    ReservedOutput output =
        actions_.Reserve(filename, options.overwrite, options.resumePartial,
                         /* other existing files were skipped above: */ killedBefore, hold_);
    reserved_ = true;
    filename_ = output.filename;
    partfilename_ = output.partfilename;
    actions_.DisplayFilename(LastPathElement(filename_), multithreaded_);
    const bool resume = output.ResumeDownload && ftp.ResumeSupported();
    // A server that cannot resume sends the whole file again, into the emptied partial file.
    if (output.ResumeDownload && !resume) output.FS->SetSize(0);

    installCallbacks(ftp);
    totalSize_ = ftp.Size(remotePath);
    fetch(ftp, *output.FS, remotePath, resume);
    const qint64 received = output.FS->Size();
    output.FS.reset();

    if (cutByStop_) {
        discardEmptyFiles();
        actions_.FinishStopped(slot_, url_);
        return;
    }
    // The data connection's close is the only end of an FTP transfer; a file shorter than the
    // server said must not pass for a download.
    if (totalSize_ > 0 && received < totalSize_) throw EIdConnClosedGracefully();
    MoveToFinalName(partfilename_, filename_);
    actions_.FinishDownloaded(slot_, url_);
}

void FtpDownload::configure(TIdFTP& ftp, const DownloadOptions& options, const FtpUrlTarget& target) {
    ftp.Host = target.host;
    ftp.Port = target.port;
    // Credentials written in the URL are not used: the download always logs in anonymously.
    ftp.Username = QLatin1String(kUsername);
    ftp.Password = QLatin1String(kPassword);
    ftp.ConnectTimeout = options.connectTimeoutMs;
    ftp.ReadTimeout = options.readTimeoutMs;
    ftp.TransferType = TIdFTPTransferType::ftBinary;
    ftp.Resolver = environment_.resolver;
    // A server that falls silent reports no work; STOP still ends its session or its transfer.
    ftp.ShouldAbort = [this] { return stopRequested(); };
}

void FtpDownload::applyProxy(TIdFTP& ftp) {
    const ProxyLineFields line = actions_.TakeNextProxyLine();
    ProxySatir = line.ProxySatir;
    const ProxyRoute route = proxyRouteFor(line, settings_.proxyType);
    if (const auto* http = std::get_if<HttpProxySettings>(&route)) {
        // FTP through an HTTP proxy: a CONNECT tunnel for the control connection and for each
        // data connection.
        HttpConnectTunnel tunnel;
        tunnel.Host = http->ProxyServer;
        tunnel.Port = http->ProxyPort;
        tunnel.Username = http->ProxyUsername;
        tunnel.Password = http->ProxyPassword;
        ftp.SetTransparentProxy(&tunnel);
    } else if (const auto* socks = std::get_if<TIdSocksInfo>(&route)) {
        ftp.SetTransparentProxy(socks);
    }
}

void FtpDownload::installCallbacks(TIdFTP& ftp) {
    ftp.OnWorkBegin = [this](TWorkMode, qint64) { work_.Restart(); };
    // The bar shows this transfer's share of the whole file; a resumed transfer starts from 0.
    work_.SetLength([this] { return AnnouncedLength(totalSize_, QString()); });
    ftp.OnWork = [this, &ftp](TWorkMode, qint64 count) { onWork(ftp, count); };
}

void FtpDownload::fetch(TIdFTP& ftp, TFileStream& file, const QString& path, bool resume) {
    if (resume) file.Seek(file.Size());
    try {
        ftp.Get(path, file, resume && file.Position() > 0);
    } catch (const EIdException&) {
        if (!cutByStop_) throw;
    }
    work_.Flush(slot_);
}

void FtpDownload::onWork(TIdFTP& ftp, qint64 count) {
    work_.Report(slot_, count);
    if (stopRequested()) ftp.Abort();
}

bool FtpDownload::stopRequested() {
    if (state_.StopRequested.requested()) cutByStop_ = true;
    return cutByStop_;
}

void FtpDownload::discardEmptyFiles() const {
    if (!reserved_) return;
    DeleteIfEmpty(partfilename_);
    DeleteIfEmpty(filename_);
}

} // namespace hl
