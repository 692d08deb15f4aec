#pragma once
// The crawl of one START: the probe that learns where the start URL redirects to, the fetch of the
// final URL, the scan and the link pipeline. TCollector runs it on a thread of its own; the command
// line runs it on its main thread.
#include "grabber/linkpipeline.h"
#include "grabber/pagefetch.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <thread>

namespace hl {

// What a crawl reports, on the thread that runs it, in this order: ProbeFinished, Loading,
// FetchFailed (only when the fetch failed other than by a stop), LinksFound any number of times,
// Finished. An error that escapes the crawl is reported by Failed instead of Finished. Each call
// must return quickly (a window queues them to its own thread).
class CrawlEvents {
public:
    virtual ~CrawlEvents() = default;
    // The URL the page is fetched from and resolved against: the last redirect target of the
    // probe, or the start URL.
    virtual void ProbeFinished(const QString& pageUrl) = 0;
    virtual void Loading(const QString& pageUrl) = 0;
    // The fetch's error message; the scan then runs on an empty page.
    virtual void FetchFailed(const QString& message) = 0;
    // Links that passed every step of the pipeline but the duplicate test, in page order.
    virtual void LinksFound(const QStringList& links) = 0;
    virtual void Finished() = 0;
    virtual void Failed(const QString& message) = 0;
};

struct CrawlRequest {
    QString startUrl;      // the URL box's text as START left it
    GrabCriteria criteria; // its boxUrl is ignored: the scope's reference is the probe's final URL
    PageRequest page;      // its shouldAbort is ignored: the crawl's stop flag cuts the fetches
};

// START's fix-up of the URL box's text: "http://" in front unless it begins with "http" in any
// letter case.
QString WithHttpPrefix(const QString& text);

// Runs a crawl on the calling thread; returns after Finished. A raised stop cuts the probe or the
// fetch (silently: no FetchFailed) and ends the scan; what was found until then is still reported.
// Errors other than the fetch's propagate.
void Crawl(const CrawlRequest& request, CrawlEvents& events, const std::atomic<bool>& stop);

// The crawl thread: starts the crawl at once. The destructor raises the stop and waits for the
// thread, so events never outlive their owner: destroy the collector before the events object. A
// crawl that ends by an escaped error reports it with Failed.
class TCollector {
public:
    // events must outlive the collector.
    TCollector(CrawlRequest request, CrawlEvents& events);
    ~TCollector();
    TCollector(const TCollector&) = delete;
    TCollector& operator=(const TCollector&) = delete;

    // Raises the stop (any thread).
    void Stop() { stop_.store(true); }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace hl
