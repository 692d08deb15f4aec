#include "cli/grabcommand.h"

#include "cli/listfile.h"
#include "engine/resultlines.h"
#include "grabber/collector.h"
#include "grabber/urllistappender.h"

#include <cstdio>
#include <optional>

namespace hl::cli {
namespace {

// The list a grab appends to: the input file's lines, and every link printed since.
class PrintedList final : public UrlListAccess {
public:
    explicit PrintedList(QStringList lines) : lines_(std::move(lines)) {}

    QStringList Lines() const override { return lines_; }
    void AppendLines(const QStringList& links) override {
        QByteArray out;
        for (const QString& link : links)
            out += link.toUtf8() + '\n';
        std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    }

private:
    QStringList lines_;
};

class PrintingEvents final : public CrawlEvents {
public:
    explicit PrintingEvents(UrlListAppender& appender) : appender_(appender) {}

    void ProbeFinished(const QString&) override {}
    void Loading(const QString&) override {}
    void FetchFailed(const QString& message) override { fetchError_ = message; }
    void LinksFound(const QStringList& links) override { appender_.Ekle(links); }
    void Finished() override {}
    void Failed(const QString& message) override { fetchError_ = message; }

    const std::optional<QString>& fetchError() const { return fetchError_; }

private:
    UrlListAppender& appender_;
    std::optional<QString> fetchError_;
};

} // namespace

int RunGrab(const CommandLine& commandLine) {
    PrintedList list(commandLine.inputFile.isEmpty()
                         ? QStringList()
                         : ReadListFile(commandLine.inputFile, QStringLiteral("URL list")));
    UrlListAppender appender(list);
    PrintingEvents events(appender);

    CrawlRequest request;
    request.startUrl = WithHttpPrefix(commandLine.grabUrl);
    request.criteria.scope = commandLine.grabScope;
    request.criteria.filter = commandLine.grabContains;
    request.page.userAgent = commandLine.options.userAgent;
    request.page.connectTimeoutMs = commandLine.options.connectTimeoutMs;
    request.page.readTimeoutMs = commandLine.options.readTimeoutMs;
    request.page.zlibCompression = commandLine.options.zlibCompression;
    request.page.verification = {commandLine.options.strictTls, commandLine.options.caFile};
    const std::atomic<bool> neverStopped{false};
    Crawl(request, events, neverStopped);
    std::fflush(stdout);

    if (!events.fetchError()) return 0;
    const QByteArray error = LogViewLine(*events.fetchError()).toUtf8() + '\n';
    std::fwrite(error.constData(), 1, static_cast<size_t>(error.size()), stderr);
    return 1;
}

} // namespace hl::cli
