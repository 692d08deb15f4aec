#pragma once
// Fetching the page a grab scans: one GET with the window's agent and time-outs, redirects followed,
// no proxy, over the TLS transport (TLS 1.0 to 1.2; http runs in pass-through), the body taken into
// memory up to a limit (256 MiB), passed through a temporary file and decoded as list files are (UTF-8,
// else the encoding a byte-order mark names, else the ANSI code page).
#include "platform/exception.h"
#include "protocols/hostresolver.h"
#include "protocols/httpuri.h"
#include "protocols/ssloptions.h"

#include <QString>
#include <functional>
#include <memory>

namespace hl {

// A page body beyond this size fails the fetch instead of exhausting memory.
constexpr qint64 kMaxPageBytes = qint64(256) * 1024 * 1024;

// A page body (announced or received) beyond the limit: "The page is larger than 256 MiB."
class EPageTooLarge : public Exception {
public:
    explicit EPageTooLarge(qint64 limit);
};

// The redirects went on past the client's limit, so the page was never reached: "Too many
// redirects: " and the last reply's status line.
class ETooManyRedirects : public Exception {
public:
    explicit ETooManyRedirects(const QString& statusLine)
        : Exception(QStringLiteral("Too many redirects: ") + statusLine) {}
};

// What every fetch of one grab uses, copied from the window's options when the grab starts.
struct PageRequest {
    QString userAgent;
    int connectTimeoutMs = 10000; // 0 or -1: no limit
    int readTimeoutMs = 10000;
    bool zlibCompression = true; // accept gzip and deflate bodies
    TIdSSLVerification verification;
    qint64 maxPageBytes = kMaxPageBytes;
    std::shared_ptr<const HostResolver> resolver = systemResolver();
    // Asked on the fetching thread while it waits for the server; true cuts the fetch with
    // EIdOperationAborted. Empty: never.
    std::function<bool()> shouldAbort;
};

// One grabber fetch (DownloadPage with its redirect handler GrabberRedirect). Blocks the calling
// thread; not shared between threads.
class PageFetch {
public:
    explicit PageFetch(PageRequest request) : request_(std::move(request)) {}

    // The page at url as text, its lines joined by CR LF with a CR LF after the last one. Throws
    // the transfer's error (an error status included), ETooManyRedirects, EPageTooLarge, or
    // EFileError when the temporary file cannot be written or read back; the temporary file is gone
    // in every case.
    QString DownloadPage(const QString& url);

    // The target of the most recent redirect this object followed, made absolute against the URL
    // that was redirected (a Location that is already absolute stays exactly as received); empty
    // when no fetch was redirected.
    const QString& LastRedirectURL() const { return lastRedirectUrl_; }

private:
    // The redirect handler of every fetch: lets the redirect proceed and remembers its target.
    void GrabberRedirect(const QString& dest, const TIdURI& redirected);

    PageRequest request_;
    QString lastRedirectUrl_;
};

// START's probe: fetches url once to learn where its redirects lead, ignoring every error and the
// page itself. The final redirect target, or url when nothing redirected.
QString ProbeFinalUrl(const QString& url, const PageRequest& request);

} // namespace hl
