// harvestline-cli's progress bar, quiet modes and colours: on a pseudo-terminal as a user sees them,
// and off a terminal as scripts and CI logs get them.
#include "support/cliprocess.h"
#include "support/scriptedserver.h"
#include "support/tempdir.h"
#include "support/terminalprocess.h"
#include "support/terminalscreen.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace hl {
namespace {

// /slow sends 100000 bytes in 10 pieces over about 300 ms (/slower over about 1.5 s), /missing is
// a 404, any other path three bytes.
void serve(test::ScriptedConnection& c) {
    const QByteArray head = c.readHead();
    if (head.isEmpty()) return;
    const QByteArray path = test::requestLine(head).split(' ').value(1);
    if (path == "/slow" || path == "/slower") {
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        const auto pause = std::chrono::milliseconds(path == "/slow" ? 30 : 150);
        for (int i = 0; i < 10; ++i) {
            std::this_thread::sleep_for(pause);
            c.send(QByteArray(10000, 's'));
        }
    } else if (path == "/missing") {
        c.send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    } else {
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc");
    }
}

// A run of four URLs: one skipped (its file is there), one slow, one missing, one small. Every run
// saves into a folder of its own.
class CliProgress : public testing::Test {
protected:
    CliProgress() : server_(serve) {}

    static std::unique_ptr<test::TempDir> folder() {
        auto dir = std::make_unique<test::TempDir>();
        dir->write(QStringLiteral("a.zip"), "old");
        return dir;
    }

    QStringList arguments(const QString& slowPath = QStringLiteral("/slow")) const {
        return {QStringLiteral("--no-server-name"), url("/a.zip"), url(slowPath), url("/missing"),
                url("/b.zip")};
    }
    QString url(const char* path) const { return server_.url(QLatin1String(path)); }
    QString url(const QString& path) const { return server_.url(path); }
    QString skippedLine() const { return QStringLiteral("(SKIPPED) URL: ") + url("/a.zip"); }
    QString errorLine() const {
        return QStringLiteral("(ERROR) HTTP/1.1 404 Not Found URL: ") + url("/missing");
    }
    QStringList logLines(const QString& slowPath = QStringLiteral("/slow")) const {
        return {skippedLine(), QStringLiteral("(DOWNLOADED) URL: ") + url(slowPath), errorLine(),
                QStringLiteral("(DOWNLOADED) URL: ") + url("/b.zip")};
    }

    test::TerminalRun onTerminal(const test::TerminalSetup& setup, const QStringList& extra = {},
                                 const QString& slowPath = QStringLiteral("/slow")) {
        return test::runCliOnTerminal(extra + arguments(slowPath), folder()->path(), setup);
    }

    test::ScriptedServer server_;
};

// The two lines that close a run shown with a bar.
void expectClosingLines(const QStringList& lines) {
    ASSERT_GE(lines.size(), 2);
    static const QRegularExpression summary(
        QStringLiteral(R"(^2 downloaded, 1 skipped, 1 error, 100 kB in \d+:\d\d \(\d.* [kMG]?B/s\)$)"));
    static const QRegularExpression elapsed(QStringLiteral(R"(^Elapsed Time: \d+[.,]\d{3} sec$)"));
    EXPECT_TRUE(summary.match(lines.at(lines.size() - 2)).hasMatch())
        << lines.at(lines.size() - 2).toStdString();
    EXPECT_TRUE(elapsed.match(lines.last()).hasMatch()) << lines.last().toStdString();
}

TEST_F(CliProgress, DrawsABarThatFitsTheTerminalAndKeepsTheLogLinesWhole) {
    static const QRegularExpression wideBar(
        QStringLiteral(R"(^\[ [0-4]/4 +\d+% \|[#.]{10,}\|  [01] err  .+/s  .+B  ETA [-:\d]+ \]$)"));
    for (const int columns : {80, 40}) {
        SCOPED_TRACE(columns);
        const test::TerminalRun run = onTerminal({columns, {QStringLiteral("TERM=xterm")}});
        EXPECT_EQ(run.exitCode, 1);
        const test::TerminalScreen screen(run.output);
        EXPECT_EQ(screen.lines().mid(0, 4), logLines());
        expectClosingLines(screen.lines());
        EXPECT_EQ(screen.lines().size(), 6);
        EXPECT_TRUE(screen.lastRow().isEmpty());
        EXPECT_TRUE(screen.unknownSequences().isEmpty()) << screen.unknownSequences().join(' ').toStdString();
        ASSERT_FALSE(screen.frames().isEmpty());
        for (const QString& frame : screen.frames()) {
            EXPECT_LE(frame.size(), columns - 1) << frame.toStdString();
            EXPECT_TRUE(frame.contains(QStringLiteral("/4 "))) << frame.toStdString();
        }
        if (columns == 80) {
            EXPECT_TRUE(std::any_of(screen.frames().begin(), screen.frames().end(), [](const QString& frame) {
                return wideBar.match(frame).hasMatch();
            })) << screen.frames().join('\n').toStdString();
        }
    }
}

TEST_F(CliProgress, RedrawsAtTheNewWidthWhenTheTerminalIsResized) {
    const test::TerminalRun run =
        onTerminal({80, {QStringLiteral("TERM=xterm")}, 40}, {}, QStringLiteral("/slower"));
    const test::TerminalScreen screen(run.output);
    EXPECT_EQ(screen.lines().mid(0, 4), logLines(QStringLiteral("/slower")));
    ASSERT_GE(screen.frames().size(), 2);
    EXPECT_GT(screen.frames().first().size(), 39) << screen.frames().first().toStdString();
    EXPECT_LE(screen.frames().last().size(), 39) << screen.frames().last().toStdString();
}

TEST_F(CliProgress, PaintsErrorsRedAndSkippedLinesDimOnlyWhereColourIsWanted) {
    const struct {
        const char* name;
        QStringList environment;
        QStringList flags;
        bool bar;
        bool colour;
    } cases[] = {
        {"a colour terminal", {QStringLiteral("TERM=xterm")}, {}, true, true},
        {"NO_COLOR", {QStringLiteral("TERM=xterm"), QStringLiteral("NO_COLOR=1")}, {}, true, false},
        {"an empty NO_COLOR", {QStringLiteral("TERM=xterm"), QStringLiteral("NO_COLOR=")}, {}, true, true},
        {"a dumb terminal", {QStringLiteral("TERM=dumb")}, {}, false, false},
        {"--no-progress", {QStringLiteral("TERM=xterm")}, {QStringLiteral("--no-progress")}, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::TerminalRun run = onTerminal({80, c.environment}, c.flags);
        const test::TerminalScreen screen(run.output);
        EXPECT_EQ(screen.lines().mid(0, 4), logLines());
        expectClosingLines(screen.lines());
        EXPECT_EQ(!screen.frames().isEmpty(), c.bar);
        EXPECT_EQ(screen.sawColour(), c.colour);
        EXPECT_EQ(run.output.contains("\x1b[31m" + errorLine().toUtf8() + "\x1b[0m"), c.colour);
        EXPECT_EQ(run.output.contains("\x1b[2m" + skippedLine().toUtf8() + "\x1b[0m"), c.colour);
        // Without a bar or colour, no escape code at all.
        EXPECT_EQ(run.output.contains('\x1b'), c.bar || c.colour);
    }
}

TEST_F(CliProgress, QuietOnATerminalLeavesOnlyTheErrors) {
    const test::TerminalRun run = onTerminal({80, {QStringLiteral("TERM=xterm")}}, {QStringLiteral("-q")});
    EXPECT_EQ(run.exitCode, 1);
    const test::TerminalScreen screen(run.output);
    EXPECT_EQ(screen.lines(), QStringList{errorLine()});
    EXPECT_TRUE(screen.frames().isEmpty());
}

TEST_F(CliProgress, OffATerminalTheFlagsChooseWhatIsWritten) {
    static const QRegularExpression plainBar(
        QStringLiteral(R"(^\[ [0-4]/4 +\d+% \|[#.]+\| .+ ETA [-:\d]+ \]$)"));
    const struct {
        QStringList flags;
        bool downloadLog;
        bool bar;
    } cases[] = {
        {{}, true, false},
        {{QStringLiteral("--no-progress")}, true, false},
        {{QStringLiteral("--progress"), QStringLiteral("--no-progress")}, true, false},
        {{QStringLiteral("--quiet")}, false, false},
        {{QStringLiteral("--progress")}, true, true},
        {{QStringLiteral("--no-progress"), QStringLiteral("--progress")}, true, true},
        {{QStringLiteral("-q"), QStringLiteral("--progress")}, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags.join(' ').toStdString());
        const auto dir = folder();
        const test::CliResult result = test::runCli(
            c.flags + QStringList{QStringLiteral("--log"), dir->file(QStringLiteral("download.log"))} +
                arguments(),
            dir->path());
        EXPECT_EQ(result.exitCode, 1);
        QStringList downloadLog = logLines();
        downloadLog.removeOne(errorLine());
        const QByteArray downloadLogText = (downloadLog.join('\n') + '\n').toUtf8();
        EXPECT_EQ(result.out, c.downloadLog ? downloadLogText : QByteArray());
        // The log file is asked for by name: --quiet keeps it.
        EXPECT_EQ(dir->read(QStringLiteral("download.log")), downloadLogText);
        EXPECT_FALSE(result.err.contains('\x1b'));
        EXPECT_FALSE(result.err.contains('\r'));
        QStringList errorLines = QString::fromUtf8(result.err).split('\n');
        ASSERT_EQ(errorLines.takeLast(), QString());
        if (!c.bar) {
            EXPECT_EQ(errorLines, QStringList{errorLine()});
            continue;
        }
        expectClosingLines(errorLines);
        errorLines.removeAll(errorLine());
        errorLines.resize(errorLines.size() - 2);
        ASSERT_FALSE(errorLines.isEmpty());
        for (const QString& line : errorLines)
            EXPECT_TRUE(plainBar.match(line).hasMatch()) << line.toStdString();
    }
}

} // namespace
} // namespace hl
