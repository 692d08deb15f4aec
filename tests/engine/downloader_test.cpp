#include "engine/downloader.h"
#include "support/manualclock.h"
#include "support/recordingwindow.h"

#include <QLocale>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace hl {
namespace {

// Calls made to the per-URL procedures, and how many ran at once.
struct CallLog {
    std::mutex mutex;
    QStringList http;
    QStringList ftp;
    std::atomic<int> running{0};
    std::atomic<int> peak{0};

    TDownloader::UrlProcedure record(QStringList CallLog::*list, std::function<void()> during = {}) {
        return [this, list, during](const QString& url, bool multithreaded) {
            {
                std::lock_guard lock(mutex);
                (this->*list).append(url + (multithreaded ? QStringLiteral(" [mt]") : QString()));
            }
            const int now = ++running;
            for (int seen = peak.load(); now > seen && !peak.compare_exchange_weak(seen, now);) {
            }
            if (during) during();
            --running;
        };
    }
};

class DownloaderTest : public ::testing::Test {
protected:
    DownloaderTest() { QLocale::setDefault(QLocale::c()); }

    void run(std::function<void()> duringHttp = {}) {
        EngineEnvironment environment;
        environment.clock = clock;
        environment.workerLimits = {2, 4};
        environment.pumpingDelay = [this](qint64 ms) { pauses.push_back(ms); };
        TDownloader downloader(window, state, environment,
                               {calls.record(&CallLog::http, duringHttp), calls.record(&CallLog::ftp)});
        downloader.DownloadNow();
    }

    // The first `count` procedures wait until `count` run at once, so that the peak shows the worker
    // count however slowly the workers start; the deadline only ends a run that has fewer workers.
    static std::function<void()> overlap(CallLog& log, int count) {
        auto started = std::make_shared<std::atomic<int>>(0);
        return [&log, count, started] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            if (started->fetch_add(1) < count) {
                while (log.running.load() < count && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        };
    }

    std::shared_ptr<test::ManualClock> clock = std::make_shared<test::ManualClock>();
    test::RecordingWindow window;
    RunState state;
    CallLog calls;
    std::vector<qint64> pauses;
};

TEST_F(DownloaderTest, SequentialRunRepairsSchemesAndDispatchesByScheme) {
    window.lines = {QStringLiteral(" HTTP:\\\\\\h/a "),
                    QStringLiteral("ftp:\\\\h/pub/b"),
                    QStringLiteral("FTP://h/c"),
                    QStringLiteral("sftp://h/d"),
                    QStringLiteral("h/e"),
                    QStringLiteral("http://h/a")};
    run([this] { clock->now += 100; });
    EXPECT_EQ(calls.http, (QStringList{QStringLiteral("http://h/a"), QStringLiteral("sftp://h/d"),
                                       QStringLiteral("h/e"), QStringLiteral("http://h/a")}));
    EXPECT_EQ(calls.ftp, (QStringList{QStringLiteral("ftp://h/pub/b"), QStringLiteral("FTP://h/c")}));
    EXPECT_EQ(state.Counters.CountTotal.load(), 6);
    EXPECT_EQ(state.LineCount.load(), 6);
    EXPECT_EQ(window.runsStarted, 1);
    EXPECT_EQ(window.runsCompleted, 1);
    EXPECT_EQ(window.elapsedStatus, QStringLiteral("Elapsed Time: 0.400 sec"));
}

TEST_F(DownloaderTest, SequentialRunRereadsTheListBeforeEveryLine) {
    window.lines = {QStringLiteral("http://h/1"), QStringLiteral("http://h/2"), QStringLiteral("http://h/3")};
    int calls_so_far = 0;
    std::vector<int> lineNumbers;
    run([&] {
        lineNumbers.push_back(state.LineNumber.load());
        // The procedure runs outside the window lock; edits go through it as the window's would.
        window.Synchronize([&] {
            if (++calls_so_far == 1) window.lines.append(QStringLiteral("http://h/added"));
            if (calls_so_far == 2) window.lines = window.lines.mid(0, 2); // line 3 and the added one go
        });
    });
    EXPECT_EQ(calls.http, (QStringList{QStringLiteral("http://h/1"), QStringLiteral("http://h/2")}));
    EXPECT_EQ(lineNumbers, (std::vector<int>{1, 2}));
    EXPECT_EQ(state.LineCount.load(), 3); // the count at the start, for the status prefix
}

TEST_F(DownloaderTest, SchedulerPausesOnlyBeforeANonBlankNextLine) {
    window.lines = {QStringLiteral("http://h/1"), QStringLiteral("http://h/2"), QStringLiteral("  "),
                    QStringLiteral("http://h/4")};
    window.schedulerPauseMs = 250;
    run();
    // After 1 (next is 2): pause. After 2 (next blank): none. After the blank line (next 4): pause. After 4:
    // none.
    EXPECT_EQ(pauses, (std::vector<qint64>{250, 250}));
    EXPECT_EQ(window.statuses.count(QStringLiteral("Waiting due to Scheduler...")), 2);
}

TEST_F(DownloaderTest, StopEndsTheRunAfterTheCurrentUrlWithoutAPause) {
    window.lines = {QStringLiteral("http://h/1"), QStringLiteral("http://h/2"), QStringLiteral("http://h/3")};
    window.schedulerPauseMs = 250;
    run([this] { state.StopRequested.request(); });
    EXPECT_EQ(calls.http, QStringList{QStringLiteral("http://h/1")});
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(window.runsCompleted, 1);
}

TEST_F(DownloaderTest, ParallelEnginesRepairSchemesAndRunTheChosenNumberOfWorkers) {
    const struct {
        bool classic;
        int threads;
        int expectedPeak;
    } cases[] = {
        {false, 0, 16},               // 8 x DefaultMinWorkers
        {false, 3, 3},  {true, 0, 4}, // DefaultMaxWorkers
        {true, 3, 3},   {true, 1, 1},
    };
    for (const auto& c : cases) {
        CallLog log;
        window.lines.clear();
        for (int i = 0; i < 40; ++i)
            window.lines.append(QStringLiteral("http:\\\\h/%1").arg(i));
        window.runSettings = {true, c.threads, c.classic};
        EngineEnvironment environment;
        environment.workerLimits = {2, 4};
        TDownloader(window, state, environment,
                    {log.record(&CallLog::http, overlap(log, c.expectedPeak)), {}})
            .DownloadNow();
        ASSERT_EQ(log.http.size(), 40) << c.classic << " " << c.threads;
        for (const QString& url : log.http)
            EXPECT_TRUE(url.startsWith(QStringLiteral("http://h/")) && url.endsWith(QStringLiteral(" [mt]")))
                << url.toStdString();
        EXPECT_EQ(log.peak.load(), c.expectedPeak) << c.classic << " " << c.threads;
        EXPECT_EQ(state.Counters.CountTotal.load(), 40);
    }
}

TEST_F(DownloaderTest, ALineThatVanishesDuringAParallelRunIsSkipped) {
    for (int i = 0; i < 20; ++i)
        window.lines.append(QStringLiteral("http://h/%1").arg(i));
    window.runSettings = {true, 2, false};
    run([this] { window.Synchronize([this] { window.lines = window.lines.mid(0, 3); }); });
    EXPECT_LE(calls.http.size(), 3);
    EXPECT_EQ(state.Counters.CountTotal.load(), 20);
    EXPECT_EQ(window.runsCompleted, 1);
}

TEST_F(DownloaderTest, AnErrorThatEscapesTheRunIsReportedAndTheRunCompletes) {
    for (bool parallel : {false, true}) {
        test::RecordingWindow fresh;
        fresh.lines = {QStringLiteral("http://h/1"), QStringLiteral("http://h/2")};
        fresh.runSettings = {parallel, 2, true};
        TDownloader downloader(fresh, state, EngineEnvironment{},
                               {[](const QString&, bool) { throw std::runtime_error("window gone"); }, {}});
        downloader.DownloadNow();
        EXPECT_EQ(fresh.runErrors, QStringList{QStringLiteral("window gone")}) << parallel;
        EXPECT_EQ(fresh.runsCompleted, 1) << parallel;
    }
}

TEST_F(DownloaderTest, AnEmptyListCompletesAtOnce) {
    run();
    EXPECT_TRUE(calls.http.isEmpty());
    EXPECT_EQ(state.Counters.CountTotal.load(), 0);
    EXPECT_EQ(window.runsCompleted, 1);
    EXPECT_EQ(window.elapsedStatus, QStringLiteral("Elapsed Time: 0.000 sec"));
}

TEST_F(DownloaderTest, PumpingDelayWakesOnAStopRequest) {
    TDownloader downloader(window, state, EngineEnvironment{});
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        state.StopRequested.request();
    });
    const auto start = std::chrono::steady_clock::now();
    downloader.PumpingDelay(10000);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
} // namespace hl
