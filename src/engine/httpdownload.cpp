#include "engine/httpdownload.h"

#include "engine/csvsplit.h"
#include "engine/filenaming.h"
#include "engine/proxyroute.h"
#include "engine/resumestream.h"
#include "engine/statustexts.h"
#include "engine/urlrewriting.h"
#include "protocols/httpexceptions.h"
#include "protocols/idhttp.h"
#include "protocols/ssliohandlersocketopenssl.h"

#include <variant>

namespace hl {

namespace {

constexpr int kRedirectMaximum = 9;
constexpr int kEmptyBodyAttempts = 3;
// A resumed transfer fetches the last kilobyte on disk again, in case it was written incompletely.
constexpr qint64 kResumeOverlap = 1024;

void applyProxyRoute(const ProxyRoute& route, TIdHTTP& http, TIdIOHandlerSocket& transport) {
    if (const auto* proxy = std::get_if<HttpProxySettings>(&route)) {
        http.ProxyParams.ProxyServer = proxy->ProxyServer;
        http.ProxyParams.ProxyPort = proxy->ProxyPort;
        http.ProxyParams.ProxyUsername = proxy->ProxyUsername;
        http.ProxyParams.ProxyPassword = proxy->ProxyPassword;
    } else if (const auto* socks = std::get_if<TIdSocksInfo>(&route)) {
        transport.SetTransparentProxy(socks);
    }
}

} // namespace

HttpDownload::HttpDownload(DownloadWindow& window, RunState& state, const EngineEnvironment& environment,
                           const RunSettings& settings, QString url, bool multithreaded)
    : state_(state), environment_(environment), settings_(settings),
      actions_(window, state, *environment.clock), urlfile_(std::move(url)), multithreaded_(multithreaded),
      work_(actions_, environment, multithreaded) {}

void HttpDownload::Run() {
    if (state_.StopRequested.requested() || urlfile_.trimmed().isEmpty()) return;
    const DownloadActions::UrlStart start = actions_.StartUrl(urlfile_, multithreaded_);
    const DownloadOptions& options = start.options;
    KacinciDownload = start.prefix;

    const CsvTarget target = TargetOfLine(urlfile_, options.saveFolder, options.treatAsCsv);
    urlfile_ = EncodeSpaces(RewriteSharingLink(target.url));

    state_.Counters.CountDownloading += 1;
    try {
        transfer(options, target.folder);
    } catch (const std::exception& error) {
        discardEmptyFiles();
        actions_.FinishAfterError(slot_, error, cutByStop_, urlfile_, ProxySatir, options.showErrors);
    }
}

void HttpDownload::transfer(const DownloadOptions& options, const QString& folder) {
    // The TLS transport serves http URLs too (in pass-through), so one client works for both.
    auto transport = std::make_shared<TIdSSLIOHandlerSocketOpenSSL>();
    transport->SSLOptions.SetSSLVersions({TIdSSLVersion::sslvSSLv23, TIdSSLVersion::sslvTLSv1,
                                          TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2});
    transport->SSLOptions.Verification = {options.strictTls, options.caFile};
    transport->Resolver = environment_.resolver;
    // A server that stops sending reports no work; STOP still ends its connection and its HEAD.
    transport->ShouldAbort = [this] { return stopRequested(); };
    TIdHTTP http;
    slot_ = actions_.ClaimSlot();
    http.Tag = slot_;
    http.ConnectTimeout = options.connectTimeoutMs;
    http.ReadTimeout = options.readTimeoutMs;
    if (options.zlibCompression) http.Compressor = std::make_shared<TIdCompressorZLib>();
    http.HandleRedirects = true;
    http.RedirectMaximum = kRedirectMaximum;
    http.Request.UserAgent = options.userAgent;
    http.IOHandler = transport;
    installCallbacks(http);

    // One proxy line serves the HEAD and every attempt of this URL.
    if (settings_.useProxy) {
        const ProxyLineFields proxy = actions_.TakeNextProxyLine();
        ProxySatir = proxy.ProxySatir;
        applyProxyRoute(proxyRouteFor(proxy, settings_.proxyType), http, *transport);
    }

    QString filename = outputFileName(http, options, folder);
    actions_.DisplayFilename(LastPathElement(filename), multithreaded_);

    if (options.skipExisting && FileSizeOf(filename) > 0) {
        actions_.DisplayFilename(QStringLiteral("(SKIPPED) ") + LastPathElement(filename), multithreaded_);
        actions_.FinishSkipped(slot_, urlfile_);
        return;
    }
    // A STOP during the HEAD ends the URL before any file is made.
    if (state_.StopRequested.requested()) {
        actions_.FinishStopped(slot_, urlfile_);
        return;
    }
    ReservedOutput output =
        actions_.Reserve(filename, options.overwrite, options.resumePartial,
                         /* an empty file counts as absent: */ options.skipExisting, hold_);
    reserved_ = true;
    filename_ = output.filename;
    partfilename_ = output.partfilename;
    fetch(http, output);
    output.FS.reset();

    if (cutByStop_) {
        discardEmptyFiles();
        actions_.FinishStopped(slot_, urlfile_);
        return;
    }
    MoveToFinalName(partfilename_, filename_);
    if (size_ == 0)
        actions_.FinishEmpty(slot_, urlfile_, attempts_, options.showErrors);
    else
        actions_.FinishDownloaded(slot_, urlfile_);
}

QString HttpDownload::outputFileName(TIdHTTP& http, const DownloadOptions& options, const QString& folder) {
    QString name;
    if (options.serverProposedName) {
        http.Head(urlfile_);
        name = FileNameFromContentDisposition(http.Response.ContentDisposition);
    }
    if (name.isEmpty()) name = FileNameFromURL(urlfile_, options.fullUrl, options.includeParams);
    return folder + name + SanitizeFileName(options.extension);
}

void HttpDownload::installCallbacks(TIdHTTP& http) {
    http.OnRedirect = [this](QString& dest, int&, bool& handled, QString&) {
        handled = true;
        HttpRedirect(dest);
    };
    http.OnWorkBegin = [this](TWorkMode mode, qint64) {
        if (mode == wmRead) work_.Restart();
    };
    work_.SetLength(
        [&http] { return AnnouncedLength(http.Response.ContentLength, http.Response.TransferEncoding); });
    http.OnWork = [this, &http](TWorkMode mode, qint64 count) {
        if (mode == wmRead) HttpWork(http, count);
    };
}

void HttpDownload::HttpRedirect(const QString& target) {
    actions_.RecordRedirect(slot_, target, multithreaded_, KacinciDownload);
}

void HttpDownload::HttpWork(TIdHTTP& http, qint64 count) {
    work_.Report(slot_, count);
    if (stopRequested()) http.Disconnect();
}

bool HttpDownload::stopRequested() {
    if (state_.StopRequested.requested()) cutByStop_ = true;
    return cutByStop_;
}

void HttpDownload::requireCompleteBody(const TIdHTTP& http) const {
    // The client takes a connection closed before Content-Length bytes as the end of the body; a
    // file cut short must not pass for a download.
    const TIdHTTPResponse& reply = http.Response;
    const bool chunked = reply.TransferEncoding.toLower().contains(QStringLiteral("chunked"));
    if (reply.ResponseCode / 100 == 2 && !chunked && reply.HasContentLength &&
        work_.Bytes() < reply.ContentLength)
        throw EIdConnClosedGracefully();
}

void HttpDownload::requireWholeFileAfterRange(const TIdHTTP& http, const TFileStream& file) const {
    // A range states the length of the whole file; one that stops short of it leaves a file that
    // is only the start of the download (kept, so that a later run continues it).
    const TIdHTTPResponse& reply = http.Response;
    if (reply.ResponseCode == 206 && file.Size() < reply.ContentRange.InstanceLength)
        throw EResumeRangeShort();
}

void HttpDownload::fetch(TIdHTTP& http, ReservedOutput& output) {
    TFileStream& file = *output.FS;
    if (output.ResumeDownload) {
        const qint64 resumeAt = std::max<qint64>(file.Size() - kResumeOverlap, 0);
        file.Seek(resumeAt);
        http.Request.Range = QString::number(resumeAt) + QLatin1Char('-');
    }
    // A server that ignores the range sends the whole file: it is then written from byte 0. A 206
    // goes where its Content-Range says it starts.
    const auto wholeFileReply = [&http] {
        const int code = http.Response.ResponseCode;
        return code / 100 == 2 && code != 206;
    };
    const auto bodyStart = [&http, &wholeFileReply](qint64 resumeAt) -> qint64 {
        if (wholeFileReply()) return 0;
        const qint64 stated = http.Response.ResponseCode == 206 ? http.Response.ContentRange.Start : -1;
        return stated >= 0 ? stated : resumeAt;
    };
    ResumeTargetStream destination(file, bodyStart);
    for (;;) {
        ++attempts_;
        work_.Restart();
        try {
            http.Get(urlfile_, &destination);
        } catch (const EIdException&) {
            if (!cutByStop_) throw;
        }
        work_.Flush(slot_);
        if (cutByStop_) return;
        requireCompleteBody(http);
        requireWholeFileAfterRange(http, file);
        // The redirect limit ends the call with nothing written; the old bytes of a partial file
        // must not then pass for the finished download.
        if (output.ResumeDownload && http.Response.ResponseCode / 100 == 3)
            throw EIdHTTPProtocolException(http.Response.ResponseText, http.Response.ResponseCode, {});
        // The whole file, and it was empty: nothing of the old partial file belongs to it.
        if (output.ResumeDownload && wholeFileReply() && !destination.StartedBeforeResumePosition())
            file.SetSize(0);
        size_ = file.Size();
        if (size_ != 0) return;
        // An empty body is asked for again at once, with the same client.
        file.SetSize(0);
        file.Seek(0);
        if (attempts_ >= kEmptyBodyAttempts || stopRequested()) return;
    }
}

void HttpDownload::discardEmptyFiles() const {
    if (!reserved_) return;
    DeleteIfEmpty(partfilename_);
    DeleteIfEmpty(filename_);
}

} // namespace hl
