// harvestline-cli as a process against the scripted loopback server: result lines on the right
// streams, the log files, the exit status, and Ctrl-C.
#include "support/cliprocess.h"
#include "support/loopbacksocket.h"
#include "support/scriptedserver.h"
#include "support/scriptedsite.h"
#include "support/tempdir.h"

#include <QProcess>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace hl {
namespace {

QByteArray lines(const QStringList& texts) {
    return (texts.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

TEST(CliRun, WritesEachLogToItsStreamAndFileAndExitsByOutcome) {
    test::ScriptedSite site;
    site.put("/a.zip", "aaa");
    site.put("/b.zip", "bbb");
    test::TempDir dir;
    const QString log = dir.file(QStringLiteral("download.log"));
    const QString errorLog = dir.file(QStringLiteral("error.log"));
    const QStringList common{QStringLiteral("-d"),          dir.file(QStringLiteral("out")),
                             QStringLiteral("--log"),       log,
                             QStringLiteral("--error-log"), errorLog,
                             QStringLiteral("-i"),          QStringLiteral("-")};
    const QString a = site.url("/a.zip"), b = site.url("/b.zip"), missing = site.url("/missing");

    const test::CliResult first = test::runCli(common, {}, lines({a, QString(), missing, b}));
    EXPECT_EQ(first.exitCode, 1);
    EXPECT_EQ(first.out,
              lines({QStringLiteral("(DOWNLOADED) URL: ") + a, QStringLiteral("(DOWNLOADED) URL: ") + b}));
    EXPECT_EQ(first.err, lines({QStringLiteral("(ERROR) HTTP/1.1 404 Not Found URL: ") + missing}));
    EXPECT_EQ(dir.read(QStringLiteral("out/a.zip")), "aaa");

    // Every URL done or skipped: status 0; the log files grow by the new lines.
    const test::CliResult second =
        test::runCli(common + QStringList{QStringLiteral("-j"), QStringLiteral("2")}, {}, lines({a, b}));
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(second.err.isEmpty());
    EXPECT_EQ(dir.read(QStringLiteral("download.log")), first.out + second.out);
    EXPECT_EQ(second.out.count("(SKIPPED) URL: "), 2);
    EXPECT_EQ(dir.read(QStringLiteral("error.log")), first.err);
}

TEST(CliRun, ReadsAListInTheAnsiCodePage) {
    test::ScriptedSite site;
    // "café" in Windows-1252: the é is the single byte E9, which is not valid UTF-8.
    const QByteArray list = site.url("/caf").toLatin1() + "\xE9\r\n";
    const test::CliResult result = test::runCli({QStringLiteral("-i"), QStringLiteral("-")}, {}, list);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains((site.url("/caf") + QChar(0xE9)).toUtf8())) << result.err.toStdString();
}

TEST(CliRun, AnEmptyFileCountsAsAnError) {
    test::ScriptedSite site;
    site.put("/empty", "");
    test::TempDir dir;
    const test::CliResult result =
        test::runCli({QStringLiteral("--no-server-name"), site.url("/empty")}, dir.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, lines({QStringLiteral("(DOWNLOADED) URL: ") + site.url("/empty")}));
    EXPECT_EQ(result.err,
              lines({QStringLiteral("(ERROR) Empty file! (Tried 3 times) URL: ") + site.url("/empty")}));
}

// A socket error carries a line break between its number and its text; the logs keep one line per
// URL, as the window's logs do.
TEST(CliRun, AnErrorMessageWithALineBreakStaysOneLogLine) {
    test::TempDir dir;
    const test::ClosedPort closed;
    const QString refused = QStringLiteral("http://127.0.0.1:%1/a.zip").arg(closed.port());
    const QString errorLog = dir.file(QStringLiteral("error.log"));
    const test::CliResult result =
        test::runCli({QStringLiteral("--error-log"), errorLog, refused}, dir.path());
    EXPECT_EQ(result.exitCode, 1);
    const QByteArray expected =
        lines({QStringLiteral("(ERROR) Socket Error # 10061 Connection refused. URL: ") + refused});
    EXPECT_EQ(result.err, expected);
    EXPECT_EQ(dir.read(QStringLiteral("error.log")), expected);
}

TEST(CliRun, CtrlCStopsTheTransferUnderWay) {
    std::atomic<bool> requested{false};
    test::ScriptedServer slow([&](test::ScriptedConnection& c) {
        if (c.readHead().isEmpty()) return;
        requested = true;
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 10000000\r\n\r\n");
        // A trickle, so that the client keeps reporting work until it gives up.
        for (int i = 0; i < 400 && !c.waitForClientClose(25); ++i)
            c.send(QByteArray(100, 'x'));
    });
    test::TempDir dir;
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(test::cliProgram(), {QStringLiteral("--no-server-name"), slow.url(QStringLiteral("/big")),
                                       slow.url(QStringLiteral("/next"))});
    ASSERT_TRUE(process.waitForStarted(10000));
    for (int i = 0; i < 500 && !requested; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(requested);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAllStandardError(),
              lines({QStringLiteral("(ERROR) Download stopped URL: ") + slow.url(QStringLiteral("/big"))}));
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    EXPECT_EQ(slow.connectionCount(), 1);
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("big.part")});
}

} // namespace
} // namespace hl
