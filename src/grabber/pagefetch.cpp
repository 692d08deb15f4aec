#include "grabber/pagefetch.h"

#include "platform/filecontents.h"
#include "platform/streams.h"
#include "platform/textencoding.h"
#include "protocols/idhttp.h"
#include "protocols/ssliohandlersocketopenssl.h"
#include "settings/textlines.h"

#include <QDir>
#include <QTemporaryFile>

namespace hl {
namespace {

// A memory stream that refuses to grow beyond a limit, so that a page announced or sent too large
// fails before it takes the memory.
class BoundedMemoryStream final : public TStream {
public:
    explicit BoundedMemoryStream(qint64 limit) : limit_(limit) {}

    qint64 Position() const override { return buffer_.Position(); }
    void Seek(qint64 position) override { buffer_.Seek(position); }
    qint64 Size() const override { return buffer_.Size(); }
    void SetSize(qint64 size) override {
        requireWithinLimit(size);
        buffer_.SetSize(size);
    }
    void Write(const char* data, qint64 length) override {
        requireWithinLimit(Position() + length);
        buffer_.Write(data, length);
    }
    using TStream::Write;
    const QByteArray& Data() const { return buffer_.Data(); }

private:
    void requireWithinLimit(qint64 size) const {
        if (size > limit_) throw EPageTooLarge(limit_);
    }

    qint64 limit_;
    TMemoryStream buffer_;
};

// location resolved against the URL of the request that got it, unless it is absolute already.
QString absoluteRedirectTarget(const QString& location, const TIdURI& redirected) {
    if (location.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        location.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return location;
    try {
        TIdURI target = redirected;
        mergeURI(target, parseURI(location));
        return absoluteURI(target);
    } catch (const Exception&) {
        return location;
    }
}

// The body through a temporary file ("tmp" and a unique suffix in the temporary folder), read
// back whole; the file is removed when this returns or throws.
QByteArray throughTemporaryFile(QByteArray body, qint64 limit) {
    // The temporary folder is empty when TMPDIR names a folder that does not exist; the file must
    // not land in the root folder then.
    const QString folder = QDir::tempPath();
    if (folder.isEmpty())
        throw EFileError(QStringLiteral("Cannot create a temporary file in \"%1\". No such file or directory")
                             .arg(qEnvironmentVariable("TMPDIR")));
    QTemporaryFile file(folder + QStringLiteral("/tmpXXXXXX"));
    if (!file.open())
        throw EFileError(
            QStringLiteral("Cannot create a temporary file in \"%1\". %2").arg(folder, file.errorString()));
    if (file.write(body) != body.size() || !file.flush())
        throw EFileError(
            QStringLiteral("Cannot write the file \"%1\". %2").arg(file.fileName(), file.errorString()));
    body = QByteArray(); // not held twice while the file is read back
    return ReadFileContents(file.fileName(), limit);
}

} // namespace

namespace {

QString sizeText(qint64 bytes) {
    constexpr qint64 kMiB = 1024 * 1024;
    if (bytes >= kMiB && bytes % kMiB == 0) return QString::number(bytes / kMiB) + QStringLiteral(" MiB");
    return QString::number(bytes) + QStringLiteral(" bytes");
}

} // namespace

EPageTooLarge::EPageTooLarge(qint64 limit)
    : Exception(QStringLiteral("The page is larger than %1.").arg(sizeText(limit))) {}

QString PageFetch::DownloadPage(const QString& url) {
    // The TLS transport serves http URLs too (in pass-through), so one client works for both.
    auto transport = std::make_shared<TIdSSLIOHandlerSocketOpenSSL>();
    transport->SSLOptions.SetSSLVersions({TIdSSLVersion::sslvSSLv23, TIdSSLVersion::sslvTLSv1,
                                          TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2});
    transport->SSLOptions.Verification = request_.verification;
    transport->Resolver = request_.resolver;
    transport->ShouldAbort = request_.shouldAbort;
    TIdHTTP http;
    if (request_.zlibCompression) http.Compressor = std::make_shared<TIdCompressorZLib>();
    http.Request.UserAgent = request_.userAgent;
    http.ConnectTimeout = request_.connectTimeoutMs;
    http.ReadTimeout = request_.readTimeoutMs;
    http.HandleRedirects = true;
    http.IOHandler = transport;
    http.OnRedirect = [&](QString& dest, int&, bool& handled, QString&) {
        handled = true;
        GrabberRedirect(dest, http.URL());
    };

    QByteArray body;
    {
        BoundedMemoryStream page(request_.maxPageBytes);
        http.Get(url, &page);
        // At its redirect limit the client returns the last redirect as if it were the page.
        if (http.Response.ResponseCode / 100 == 3) throw ETooManyRedirects(http.Response.ResponseText);
        body = page.Data();
    }
    const QByteArray bytes = throughTemporaryFile(std::move(body), request_.maxPageBytes);
    return TerminateLines(DecodeTextFile(bytes).text, LineBreak::CrLf);
}

void PageFetch::GrabberRedirect(const QString& dest, const TIdURI& redirected) {
    lastRedirectUrl_ = absoluteRedirectTarget(dest, redirected);
}

QString ProbeFinalUrl(const QString& url, const PageRequest& request) {
    PageFetch probe(request);
    try {
        probe.DownloadPage(url);
    } catch (const std::exception&) {
        // The probe only asks where the URL leads; the crawl's own fetch reports failures.
    }
    return probe.LastRedirectURL().isEmpty() ? url : probe.LastRedirectURL();
}

} // namespace hl
