// The crawl: what it reports and in which order, stopping it, and its thread.
#include "grabber/collector.h"
#include "support/httpscript.h"
#include "support/qtprinters.h"
#include "support/scriptedserver.h"
#include "support/scriptedsite.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace hl {
namespace {

// Records the events as "Name(argument)" lines; thread-safe, with a wait for the last one.
class RecordedEvents final : public CrawlEvents {
public:
    void ProbeFinished(const QString& url) override { add(QStringLiteral("ProbeFinished(") + url + ')'); }
    void Loading(const QString& url) override { add(QStringLiteral("Loading(") + url + ')'); }
    void FetchFailed(const QString& message) override { add(QStringLiteral("FetchFailed(") + message + ')'); }
    void LinksFound(const QStringList& links) override {
        std::lock_guard lock(mutex_);
        links_ += links;
    }
    void Finished() override { add(QStringLiteral("Finished")); }
    void Failed(const QString& message) override { add(QStringLiteral("Failed(") + message + ')'); }

    QStringList events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    QStringList links() const {
        std::lock_guard lock(mutex_);
        return links_;
    }

private:
    void add(const QString& event) {
        std::lock_guard lock(mutex_);
        events_ << event;
    }
    mutable std::mutex mutex_;
    QStringList events_;
    QStringList links_;
};

CrawlRequest requestFor(const QString& url) {
    CrawlRequest request;
    request.startUrl = url;
    request.page.connectTimeoutMs = 5000;
    request.page.readTimeoutMs = 0; // no limit: only a stop ends a silent server
    return request;
}

TEST(Crawl, StartUrlsWithoutHttpGetItInFront) {
    const std::pair<const char*, const char*> cases[] = {
        {"127.0.0.1/page", "http://127.0.0.1/page"},
        {"HTTP://127.0.0.1/", "HTTP://127.0.0.1/"},
        {"https://localhost/", "https://localhost/"},
        {"httpish.test/", "httpish.test/"}, // only the first four letters count
        {" http://localhost/", "http:// http://localhost/"},
        {"ftp://localhost/", "http://ftp://localhost/"},
    };
    for (const auto& [typed, started] : cases)
        EXPECT_EQ(WithHttpPrefix(QString::fromUtf8(typed)), QString::fromUtf8(started)) << typed;
}

TEST(Crawl, ProbesFetchesTheFinalUrlAndResolvesAgainstIt) {
    test::ScriptedSite site;
    site.reply("/start", test::httpReply("HTTP/1.1 302 Found", "Location: /dir/page.html\r\n", {}));
    site.put("/dir/page.html", R"(<a href="a.html"><a href="/b.html"><a href="a.html">)");
    RecordedEvents events;
    const std::atomic<bool> running{false};
    Crawl(requestFor(site.url("/start")), events, running);
    const QString page = site.url("/dir/page.html");
    EXPECT_EQ(events.events(),
              (QStringList{"ProbeFinished(" + page + ')', "Loading(" + page + ')', "Finished"}));
    // The pipeline's duplicates within the page are the list's to drop.
    EXPECT_EQ(events.links(),
              (QStringList{site.url("/dir/a.html"), site.url("/b.html"), site.url("/dir/a.html")}));
    // The probe follows the redirect; the fetch goes to where it led.
    EXPECT_EQ(site.count("GET", "/start"), 1);
    EXPECT_EQ(site.count("GET", "/dir/page.html"), 2);
}

TEST(Crawl, AFailedFetchIsReportedAndTheScanFindsNothing) {
    test::ScriptedSite site;
    RecordedEvents events;
    const std::atomic<bool> running{false};
    Crawl(requestFor(site.url("/missing")), events, running);
    EXPECT_EQ(events.events(), (QStringList{"ProbeFinished(" + site.url("/missing") + ')',
                                            "Loading(" + site.url("/missing") + ')',
                                            "FetchFailed(HTTP/1.1 404 Not Found)", "Finished"}));
    EXPECT_EQ(events.links(), QStringList());
}

// A server that sends the head of a long page and then nothing.
test::ScriptedServer silentPage() {
    return test::ScriptedServer([](test::ScriptedConnection& connection) {
        connection.readHead();
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n<a href=\"x\">");
        connection.waitForClientClose(30000);
    });
}

TEST(TCollector, StopCutsASilentPageWithoutAnErrorAndStillReports) {
    test::ScriptedServer server = silentPage();
    RecordedEvents events;
    QElapsedTimer timer;
    {
        TCollector collector(requestFor(server.url("/page")), events);
        // The probe hangs on the silent page; a stop ends it and the fetch that would follow.
        while (server.connectionCount() < 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        timer.start();
        collector.Stop();
    }
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(events.events(), (QStringList{"ProbeFinished(" + server.url("/page") + ')',
                                            "Loading(" + server.url("/page") + ')', "Finished"}));
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST(TCollector, DestroyingItStopsTheCrawlAndWaitsForItsThread) {
    test::ScriptedServer server = silentPage();
    RecordedEvents events;
    {
        TCollector collector(requestFor(server.url("/page")), events);
        while (server.connectionCount() < 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Every event came before the destructor returned.
    EXPECT_EQ(events.events().constLast(), QStringLiteral("Finished"));
}

} // namespace
} // namespace hl
