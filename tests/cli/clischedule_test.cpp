// harvestline-cli's scheduler pacing as a process against the scripted loopback server: --wait
// between the URLs of a run, --every between runs, until Ctrl-C.
#include "support/cliprocess.h"
#include "support/scriptedserver.h"
#include "support/tempdir.h"

#include <QProcess>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace hl {
namespace {

using Clock = std::chrono::steady_clock;

qint64 millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

// Serves a small file to every GET and notes when each arrived.
class TimedSite {
public:
    std::vector<Clock::time_point> gets() {
        std::lock_guard lock(mutex_);
        return gets_;
    }
    QString url(const char* path) const { return server_.url(QLatin1String(path)); }

private:
    std::mutex mutex_;
    std::vector<Clock::time_point> gets_;
    test::ScriptedServer server_{[this](test::ScriptedConnection& c) {
        if (c.readHead().isEmpty()) return;
        {
            std::lock_guard lock(mutex_);
            gets_.push_back(Clock::now());
        }
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\nfile");
    }};
};

TEST(CliSchedule, WaitPausesBetweenUrlsButNotAfterTheLast) {
    TimedSite site;
    test::TempDir dir;
    const test::CliResult result =
        test::runCli({QStringLiteral("--no-server-name"), QStringLiteral("--wait"), QStringLiteral("2"),
                      site.url("/1.bin"), site.url("/2.bin"), site.url("/3.bin")},
                     dir.path());
    const Clock::time_point ended = Clock::now();
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.count("(DOWNLOADED) URL: "), 3);
    const std::vector<Clock::time_point> gets = site.gets();
    ASSERT_EQ(gets.size(), 3u);
    EXPECT_GE(millisecondsBetween(gets[0], gets[1]), 2000);
    EXPECT_GE(millisecondsBetween(gets[1], gets[2]), 2000);
    EXPECT_LT(millisecondsBetween(gets[2], ended), 1500);
}

TEST(CliSchedule, EveryRunsAgainOneDelayAfterEachRunEndedUntilCtrlC) {
    TimedSite site;
    test::TempDir dir;
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(test::cliProgram(),
                  {QStringLiteral("--no-server-name"), QStringLiteral("--no-skip-existing"),
                   QStringLiteral("--every"), QStringLiteral("1"), site.url("/a.bin")});
    ASSERT_TRUE(process.waitForStarted(10000));
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(15);
    while (site.gets().size() < 3 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::vector<Clock::time_point> gets = site.gets();
    ASSERT_EQ(gets.size(), 3u);
    for (int run = 1; run < 3; ++run) {
        EXPECT_GE(millisecondsBetween(gets[run - 1], gets[run]), 1000) << run;
        EXPECT_LT(millisecondsBetween(gets[run - 1], gets[run]), 3000) << run;
    }

    // Ctrl-C between two runs ends the tool soon, with the status of the runs made.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const Clock::time_point interrupted = Clock::now();
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_LT(millisecondsBetween(interrupted, Clock::now()), 1000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.readAllStandardOutput().count("(DOWNLOADED) URL: "), 3);
    EXPECT_EQ(site.gets().size(), 3u);
}

} // namespace
} // namespace hl
