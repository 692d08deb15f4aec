#include "grabber/collector.h"

#include "grabber/asciicase.h"

#include <QElapsedTimer>

namespace hl {
namespace {

// The links of a scan on their way to the events, in batches: one report per batch keeps a window
// that appends them from redrawing for every single link, and a bounded batch from holding it long.
class BatchingSink final : public LinkSink {
public:
    BatchingSink(CrawlEvents& events, const std::atomic<bool>& stop) : events_(events), stop_(stop) {
        sinceReport_.start();
    }

    void Found(const QString& link) override {
        batch_.append(link);
        if (batch_.size() >= kMaxBatch || sinceReport_.hasExpired(kReportIntervalMs)) report();
    }
    bool StopRequested() const override { return stop_.load(); }

    void report() {
        sinceReport_.restart();
        if (batch_.isEmpty()) return;
        events_.LinksFound(batch_);
        batch_.clear();
    }

private:
    static constexpr qsizetype kMaxBatch = 5000;
    static constexpr qint64 kReportIntervalMs = 100;

    CrawlEvents& events_;
    const std::atomic<bool>& stop_;
    QStringList batch_;
    QElapsedTimer sinceReport_;
};

} // namespace

QString WithHttpPrefix(const QString& text) {
    return StartsWithAsciiCaseless(text, QLatin1StringView("http")) ? text : QStringLiteral("http://") + text;
}

void Crawl(const CrawlRequest& request, CrawlEvents& events, const std::atomic<bool>& stop) {
    PageRequest page = request.page;
    page.shouldAbort = [&stop] { return stop.load(); };

    const QString pageUrl = stop.load() ? request.startUrl : ProbeFinalUrl(request.startUrl, page);
    events.ProbeFinished(pageUrl);
    events.Loading(pageUrl);
    QString text;
    if (!stop.load()) {
        try {
            text = PageFetch(page).DownloadPage(pageUrl);
        } catch (const Exception& error) {
            if (!stop.load()) events.FetchFailed(error.message());
        }
    }
    GrabCriteria criteria = request.criteria;
    criteria.boxUrl = pageUrl;
    BatchingSink sink(events, stop);
    CollectLinks(text, pageUrl, criteria, sink);
    sink.report();
    events.Finished();
}

TCollector::TCollector(CrawlRequest request, CrawlEvents& events)
    : thread_([this, request = std::move(request), &events] {
          try {
              Crawl(request, events, stop_);
          } catch (const Exception& error) {
              events.Failed(error.message());
          } catch (const std::exception& error) {
              events.Failed(QString::fromUtf8(error.what()));
          } catch (...) {
              events.Failed(QStringLiteral("Unknown error."));
          }
      }) {}

TCollector::~TCollector() {
    Stop();
    thread_.join();
}

} // namespace hl
