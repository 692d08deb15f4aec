// The HTTP procedure end to end against the scripted loopback server: naming, the existing-file
// policy, resume, empty and short bodies, redirects, errors, STOP, CSV folders and parallel runs.
#include "engine/downloader.h"
#include "engine/outputfiles.h"
#include "support/httpscript.h"
#include "support/loopbacksocket.h"
#include "support/recordingwindow.h"
#include "support/scriptedsite.h"
#include "support/tempdir.h"

#include <QDir>
#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace hl {
namespace {

class FailingResolver final : public HostResolver {
public:
    std::optional<quint32> lookup(const QString&) const override { return std::nullopt; }
};

class HttpDownloadTest : public ::testing::Test {
protected:
    HttpDownloadTest() {
        window.options.saveFolder = dir.path();
        window.options.connectTimeoutMs = 5000;
        window.options.readTimeoutMs = 5000;
    }

    void run(const QStringList& lines) {
        window.lines = lines;
        TDownloader(window, state, environment).DownloadNow();
    }

    QString url(const char* path) const { return site.url(path); }

    test::TempDir dir;
    test::ScriptedSite site;
    test::RecordingWindow window;
    RunState state;
    EngineEnvironment environment;
};

TEST_F(HttpDownloadTest, NamesTheFileFromTheServerOrTheUrl) {
    site.put("/get?id=7", "proposed", "Content-Disposition: attachment; filename=\"report 2024.pdf\"\r\n");
    site.put("/dir/My%20File.zip?x=1", "from url");
    site.put("/a%20b.bin", "spaces");
    const struct {
        const char* path;
        bool serverName;
        const char* extension;
        const char* file;
        const char* content;
        const char* logged;
    } cases[] = {
        {"/get?id=7", true, "", "report 2024.pdf", "proposed", "/get?id=7"},
        {"/get?id=7", false, "", "get", "proposed", "/get?id=7"},
        {"/dir/My%20File.zip?x=1", true, "", "My File.zip", "from url", "/dir/My%20File.zip?x=1"},
        {"/a b.bin", false, ":.jpg", "a b.bin.jpg", "spaces", "/a%20b.bin"},
    };
    for (const auto& c : cases) {
        test::TempDir folder;
        window.options.saveFolder = folder.path();
        window.options.serverProposedName = c.serverName;
        window.options.extension = QString::fromUtf8(c.extension);
        window.downloadLog.clear();
        window.filenames.clear();
        run({url(c.path)});
        EXPECT_EQ(folder.entries(), QStringList{QString::fromUtf8(c.file)}) << c.path;
        EXPECT_EQ(folder.read(QString::fromUtf8(c.file)), c.content) << c.path;
        EXPECT_EQ(window.downloadLog, QStringList{QStringLiteral("(DOWNLOADED) URL: ") + url(c.logged)})
            << c.path;
        EXPECT_EQ(window.filenames, QStringList{QString::fromUtf8(c.file)}) << c.path;
    }
    EXPECT_EQ(site.count("HEAD", "/get?id=7"), 1); // only with the server-proposed name
    EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
}

TEST_F(HttpDownloadTest, AProposedFolderNameFallsBackToTheUrlsName) {
    const char* const proposals[] = {"filename=\"..\"", "filename=\".\"", "filename*=UTF-8''..",
                                     "filename=\"/\""};
    for (const char* proposal : proposals) {
        SCOPED_TRACE(proposal);
        test::TempDir folder;
        window.options.saveFolder = folder.path();
        site.put("/files/x.bin", "content",
                 QByteArray("Content-Disposition: attachment; ") + proposal + "\r\n");
        run({url("/files/x.bin")});
        EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
        EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("x.bin")});
        EXPECT_EQ(folder.read(QStringLiteral("x.bin")), "content");
    }
}

TEST_F(HttpDownloadTest, RequestsNonAsciiUrlsWithUtf8EscapesAndLogsThemAsWritten) {
    const QByteArray target = "/data/sp%20ace%20%C3%A9.bin?v=%C3%A9";
    site.put(target, "content");
    const struct {
        const char* path;
        const char* logged;
        const char* file;
    } cases[] = {
        {"/data/sp ace \u00e9.bin?v=\u00e9", "/data/sp%20ace%20\u00e9.bin?v=\u00e9", "sp ace -.bin"},
        {"/data/sp%20ace%20%C3%A9.bin?v=%C3%A9", "/data/sp%20ace%20%C3%A9.bin?v=%C3%A9", "sp ace -C3-A9.bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        test::TempDir folder;
        window.options.saveFolder = folder.path();
        window.downloadLog.clear();
        const int requestsBefore = site.requests().size();
        const QString base = url("");
        run({base + QString::fromUtf8(c.path)});
        // The server-proposed-name HEAD and the GET name the same encoded target.
        const QList<QByteArray> sent = site.requests().mid(requestsBefore);
        ASSERT_EQ(sent.size(), 2);
        EXPECT_EQ(test::requestLine(sent[0]), "HEAD " + target + " HTTP/1.1");
        EXPECT_EQ(test::requestLine(sent[1]), "GET " + target + " HTTP/1.1");
        EXPECT_EQ(window.downloadLog,
                  QStringList{QStringLiteral("(DOWNLOADED) URL: ") + base + QString::fromUtf8(c.logged)});
        EXPECT_EQ(folder.entries(), QStringList{QString::fromUtf8(c.file)});
        EXPECT_EQ(folder.read(QString::fromUtf8(c.file)), "content");
    }
    EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
}

TEST_F(HttpDownloadTest, AppliesTheExistingFilePolicy) {
    site.put("/a.zip", "new content");
    const struct {
        const char* name;
        QByteArray existing;
        bool skip;
        bool overwrite;
        QStringList files;
        const char* logPrefix;
    } cases[] = {
        {"skip a file with content", "old", true, false, {"a.zip"}, "(SKIPPED) URL: "},
        {"skip wins over overwrite", "old", true, true, {"a.zip"}, "(SKIPPED) URL: "},
        {"an empty file counts as absent", "", true, false, {"a.zip"}, "(DOWNLOADED) URL: "},
        {"numbered copy", "old", false, false, {"a (2).zip", "a.zip"}, "(DOWNLOADED) URL: "},
        {"overwrite", "old", false, true, {"a.zip"}, "(DOWNLOADED) URL: "},
    };
    for (const auto& c : cases) {
        test::TempDir folder;
        folder.write(QStringLiteral("a.zip"), c.existing);
        window.options.saveFolder = folder.path();
        window.options.skipExisting = c.skip;
        window.options.overwrite = c.overwrite;
        window.downloadLog.clear();
        const int getsBefore = site.count("GET", "/a.zip");
        run({url("/a.zip")});
        EXPECT_EQ(folder.entries(), c.files) << c.name;
        EXPECT_EQ(window.downloadLog, QStringList{QString::fromUtf8(c.logPrefix) + url("/a.zip")}) << c.name;
        const bool skipped = QByteArray(c.logPrefix).startsWith("(SKIPPED)");
        EXPECT_EQ(site.count("GET", "/a.zip") - getsBefore, skipped ? 0 : 1) << c.name;
        EXPECT_EQ(folder.read(c.files.first()), skipped ? c.existing : QByteArray("new content")) << c.name;
        EXPECT_EQ(state.Counters.CountFinished.load(), 1) << c.name;
        EXPECT_EQ(state.Counters.CountDownloading.load(), 0) << c.name;
    }
}

TEST_F(HttpDownloadTest, ResumesWithAOneKilobyteOverlap) {
    QByteArray content(6000, 0);
    for (int i = 0; i < content.size(); ++i)
        content[i] = char('a' + i % 26);
    site.put("/a.zip", content);
    const struct {
        const char* name;
        qsizetype partSize;
        bool honourRanges;
        const char* range;
    } cases[] = {
        {"5000 bytes on disk", 5000, true, "bytes=3976-"},
        {"700 bytes on disk", 700, true, "bytes=0-"},
        {"range ignored: the whole file from byte 0", 5000, false, "bytes=3976-"},
    };
    for (const auto& c : cases) {
        test::TempDir folder;
        // The partial file's last kilobyte is wrong on purpose: it is fetched again.
        folder.write(QStringLiteral("a.zip.part"),
                     content.left(c.partSize - 1024 > 0 ? c.partSize - 1024 : 0) +
                         QByteArray(std::min<qsizetype>(c.partSize, 1024), 'X'));
        window.options.saveFolder = folder.path();
        site.setHonourRanges(c.honourRanges);
        run({url("/a.zip")});
        ASSERT_FALSE(site.requests().isEmpty()) << c.name;
        EXPECT_EQ(test::headerValue(site.requests().last(), "Range"), c.range) << c.name;
        EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("a.zip")}) << c.name;
        EXPECT_EQ(folder.read(QStringLiteral("a.zip")), content) << c.name;
    }
}

TEST_F(HttpDownloadTest, ResumeWritesARangeWhereTheServerSaysItStarts) {
    QByteArray content(6000, 0);
    for (int i = 0; i < content.size(); ++i)
        content[i] = char('a' + i % 26);
    const auto partialReply = [&](qsizetype from, qsizetype to) {
        const QByteArray range = "bytes " + QByteArray::number(from) + "-" + QByteArray::number(to) + "/6000";
        return test::httpReply("HTTP/1.1 206 Partial Content", "Content-Range: " + range + "\r\n",
                               content.mid(from, to + 1 - from));
    };
    site.reply("/early.zip", partialReply(0, 5999));
    site.reply("/late.zip", partialReply(4500, 5999));
    site.reply("/short.zip", partialReply(3976, 5499));
    for (const char* name : {"early.zip.part", "late.zip.part", "short.zip.part"})
        dir.write(QString::fromLatin1(name), content.left(5000));
    window.options.serverProposedName = false;
    run({url("/early.zip"), url("/late.zip"), url("/short.zip")});

    // Asked from byte 3976, sent from byte 0: still the right file.
    EXPECT_EQ(dir.read(QStringLiteral("early.zip")), content);
    // Sent from byte 4500: bytes 3976 to 4499 would be missing, so nothing is taken. Sent up to byte
    // 5499 of 6000: what came is kept for a later resume, but it is not the file.
    EXPECT_EQ(
        window.errorLog,
        (QStringList{QStringLiteral("(ERROR) The server sent a range that does not continue the partial "
                                    "file. URL: ") +
                         url("/late.zip"),
                     QStringLiteral("(ERROR) The server sent a range that does not reach the end of the "
                                    "file. URL: ") +
                         url("/short.zip")}));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("late.zip"))));
    EXPECT_EQ(dir.read(QStringLiteral("late.zip.part")), content.left(5000));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("short.zip"))));
    EXPECT_EQ(dir.read(QStringLiteral("short.zip.part")), content.left(5500));
}

TEST_F(HttpDownloadTest, ABodyShorterThanItsLengthFailsAndKeepsThePartialFile) {
    site.reply("/a.zip", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + QByteArray(600, 'x'), true);
    window.options.serverProposedName = false;
    run({url("/a.zip")});
    EXPECT_EQ(window.errorLog,
              QStringList{QStringLiteral("(ERROR) Connection Closed Gracefully. URL: ") + url("/a.zip")});
    EXPECT_EQ(window.errorBoxes,
              QStringList{QStringLiteral("Download Error: Connection Closed Gracefully.\r\rURL: ") +
                          url("/a.zip")});
    EXPECT_TRUE(window.downloadLog.isEmpty());
    // Nothing under the final name; the 600 bytes wait for a later resume.
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("a.zip.part")});
    EXPECT_EQ(dir.read(QStringLiteral("a.zip.part")), QByteArray(600, 'x'));
    EXPECT_EQ(state.Counters.CountErrors.load(), 1);
    EXPECT_EQ(state.Counters.CountDownloading.load(), 0);
}

TEST_F(HttpDownloadTest, AnEmptyBodyIsRequestedThreeTimes) {
    site.put("/a.zip", "");
    run({url("/a.zip")});
    EXPECT_EQ(site.count("GET", "/a.zip"), 3);
    EXPECT_EQ(window.downloadLog, QStringList{QStringLiteral("(DOWNLOADED) URL: ") + url("/a.zip")});
    EXPECT_EQ(window.errorLog,
              QStringList{QStringLiteral("(ERROR) Empty file! (Tried 3 times) URL: ") + url("/a.zip")});
    EXPECT_EQ(
        window.errorBoxes,
        QStringList{QStringLiteral("Download Error: Empty file! (Tried 3 times)\r\rURL: ") + url("/a.zip")});
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("a.zip")});
    EXPECT_EQ(FileSizeOf(dir.file(QStringLiteral("a.zip"))), 0);
    EXPECT_EQ(state.Counters.CountFinished.load(), 1);
}

TEST_F(HttpDownloadTest, LogsTheLastRedirectTarget) {
    site.reply("/old", test::httpReply("HTTP/1.1 302 Found", "Location: /mid\r\n", {}));
    site.reply("/mid", test::httpReply("HTTP/1.1 301 Moved", "Location: files/new.zip\r\n", {}));
    site.put("/files/new.zip", "moved");
    run({url("/old")});
    EXPECT_EQ(window.downloadLog, QStringList{QStringLiteral("(DOWNLOADED) URL: ") + url("/old") +
                                              QStringLiteral(" REDIRECTED: files/new.zip")});
    EXPECT_EQ(dir.read(QStringLiteral("old")), "moved"); // named from the URL of the list
    EXPECT_TRUE(
        window.statuses.contains(QStringLiteral("(1 / 1) Downloading files/new.zip... (Redirected)")));
}

TEST_F(HttpDownloadTest, NineRedirectsEndAsAnEmptyFile) {
    for (int i = 0; i < 10; ++i)
        site.reply(
            "/r" + QByteArray::number(i),
            test::httpReply("HTTP/1.1 302 Found", "Location: /r" + QByteArray::number(i + 1) + "\r\n", {}));
    window.options.serverProposedName = false;
    run({url("/r0")});
    EXPECT_EQ(site.count("GET", "/r8"), 3);
    EXPECT_EQ(site.count("GET", "/r9"), 0);
    EXPECT_EQ(window.errorLog,
              QStringList{QStringLiteral("(ERROR) Empty file! (Tried 3 times) URL: ") + url("/r0")});
}

TEST_F(HttpDownloadTest, ResumeEndingOnTheRedirectLimitFailsAndKeepsThePartialFile) {
    for (int i = 0; i < 10; ++i)
        site.reply(
            "/r" + QByteArray::number(i),
            test::httpReply("HTTP/1.1 302 Found", "Location: /r" + QByteArray::number(i + 1) + "\r\n", {}));
    const QByteArray partial(3000, 'p');
    dir.write(QStringLiteral("r0.part"), partial);
    window.options.serverProposedName = false;
    run({url("/r0")});
    EXPECT_EQ(window.errorLog, QStringList{QStringLiteral("(ERROR) HTTP/1.1 302 Found URL: ") + url("/r0")});
    // Nothing of it is gone, not even the kilobyte that was asked for again.
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("r0.part")});
    EXPECT_EQ(dir.read(QStringLiteral("r0.part")), partial);
}

TEST_F(HttpDownloadTest, ReportsEveryFailureWithItsMessage) {
    const test::ClosedPort closed;
    const quint16 closedPort = closed.port();
    environment.resolver = std::make_shared<FailingResolver>();
    window.options.showErrors = false;
    run({url("/missing"), QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort),
         QStringLiteral("http://unresolvable.invalid/y")});
    EXPECT_EQ(
        window.errorLog,
        (QStringList{
            QStringLiteral("(ERROR) HTTP/1.1 404 Not Found URL: ") + url("/missing"),
            QStringLiteral("(ERROR) Socket Error # 10061\r\nConnection refused. URL: http://127.0.0.1:%1/x")
                .arg(closedPort),
            QStringLiteral(
                "(ERROR) Socket Error # 11001\r\nHost not found. URL: http://unresolvable.invalid/y")}));
    EXPECT_TRUE(window.errorBoxes.isEmpty());
    EXPECT_TRUE(window.downloadLog.isEmpty());
    EXPECT_TRUE(dir.entries().isEmpty()); // a failed HEAD reserves nothing
    EXPECT_EQ(state.Counters.CountErrors.load(), 3);
    EXPECT_EQ(state.Counters.CountDownloading.load(), 0);
}

TEST_F(HttpDownloadTest, StopDuringTheHeadEndsTheUrlBeforeAnyFileIsMade) {
    test::ScriptedServer server([&](test::ScriptedConnection& c) {
        if (c.readHead().isEmpty()) return;
        state.StopRequested.request();
        c.send(test::httpReply("HTTP/1.1 200 OK", {}, {}));
        c.waitForClientClose(5000);
    });
    run({server.url(QStringLiteral("/a.zip"))});
    EXPECT_EQ(window.errorLog, QStringList{QStringLiteral("(ERROR) Download stopped URL: ") +
                                           server.url(QStringLiteral("/a.zip"))});
    EXPECT_TRUE(dir.entries().isEmpty());
    server.waitIdle();
    EXPECT_EQ(test::requestLine(server.received().at(0)), "HEAD /a.zip HTTP/1.1");
    EXPECT_EQ(server.received().at(0).count("HTTP/1.1"), 1); // no GET followed
}

TEST_F(HttpDownloadTest, StopEndsAServerThatFellSilent) {
    // Without a read time-out only the stop request can end these waits. The server asks for the
    // stop once the client waits on it: after the request head, or once the client has taken the
    // first bytes of the body.
    window.options.readTimeoutMs = 0;
    for (const bool inTheHead : {true, false}) {
        test::TempDir folder;
        window.options.saveFolder = folder.path();
        window.options.serverProposedName = inTheHead;
        window.errorLog.clear();
        state.StopRequested.clear();
        std::promise<void> bodyTaken;
        bool bodyTakenSet = false;
        window.onProgress = [&] {
            if (bodyTakenSet || state.Counters.BytesReceived.load() < 10) return;
            bodyTakenSet = true;
            bodyTaken.set_value();
        };
        test::ScriptedServer silent([&, taken = bodyTaken.get_future().share()](test::ScriptedConnection& c) {
            if (c.readHead().isEmpty()) return;
            if (!inTheHead) {
                c.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + QByteArray(10, 'x'));
                taken.wait_for(std::chrono::seconds(30));
            }
            state.StopRequested.request();
            c.waitForClientClose(60000);
        });
        auto finished = std::async(std::launch::async, [&] { run({silent.url(QStringLiteral("/a.zip"))}); });
        // A run that ignores the stop would wait for ever; the bound only keeps a failure from hanging.
        ASSERT_EQ(finished.wait_for(std::chrono::seconds(30)), std::future_status::ready) << inTheHead;
        EXPECT_EQ(window.errorLog, QStringList{QStringLiteral("(ERROR) Download stopped URL: ") +
                                               silent.url(QStringLiteral("/a.zip"))})
            << inTheHead;
        // The partial file keeps exactly what arrived, ready for a later resume.
        const QStringList left = inTheHead ? QStringList() : QStringList{QStringLiteral("a.zip.part")};
        EXPECT_EQ(folder.entries(), left) << inTheHead;
        if (!inTheHead) {
            EXPECT_EQ(folder.read(QStringLiteral("a.zip.part")), QByteArray(10, 'x'));
        }
    }
}

TEST_F(HttpDownloadTest, ALongNonAsciiServerNameStillNamesAFile) {
    // Every byte above 127 of a header becomes U+FFFD, three bytes on disk: 100 of them would make
    // a name longer than the file system takes.
    site.put("/get", "body",
             "Content-Disposition: attachment; filename=\"" + QByteArray(100, '\xe9') + ".zip\"\r\n");
    run({url("/get")});
    EXPECT_EQ(window.downloadLog, QStringList{QStringLiteral("(DOWNLOADED) URL: ") + url("/get")});
    EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
    const QString name = QString(66, QChar(QChar::ReplacementCharacter));
    EXPECT_EQ(dir.entries(), QStringList{name});
    EXPECT_EQ(dir.read(name), "body");
}

TEST_F(HttpDownloadTest, SendsCsvLinesToTheirFolders) {
    site.put("/a.zip", "a");
    site.put("/b.zip,sub", "whole line");
    test::TempDir elsewhere;
    window.options.treatAsCsv = true;
    run({url("/a.zip") + QStringLiteral(",sub/deep"), url("/a.zip,") + elsewhere.path()});
    EXPECT_EQ(dir.read(QStringLiteral("sub/deep/a.zip")), "a");
    EXPECT_EQ(elsewhere.read(QStringLiteral("a.zip")), "a");

    window.options.treatAsCsv = false;
    window.options.serverProposedName = false;
    run({url("/b.zip,sub")});
    EXPECT_EQ(site.count("GET", "/b.zip,sub"), 1);
    EXPECT_EQ(dir.read(QStringLiteral("b.zip-sub")), "whole line");
}

TEST_F(HttpDownloadTest, ParallelRunsCountEveryUrl) {
    QStringList lines;
    for (int i = 0; i < 12; ++i) {
        const QByteArray path = "/f" + QByteArray::number(i);
        if (i % 4 != 3) site.put(path, "file " + QByteArray::number(i));
        lines.append(url(path.constData()));
    }
    for (bool classic : {false, true}) {
        test::TempDir folder;
        window.options.saveFolder = folder.path();
        window.options.showErrors = false;
        window.runSettings = {true, 4, classic};
        window.downloadLog.clear();
        window.errorLog.clear();
        window.statuses.clear();
        run(lines);
        EXPECT_EQ(state.Counters.CountTotal.load(), 12);
        EXPECT_EQ(state.Counters.CountFinished.load(), 9);
        EXPECT_EQ(state.Counters.CountErrors.load(), 3);
        EXPECT_EQ(state.Counters.CountDownloading.load(), 0);
        EXPECT_EQ(window.downloadLog.size(), 9);
        EXPECT_EQ(window.errorLog.size(), 3);
        EXPECT_EQ(folder.entries().size(), 9);
        EXPECT_EQ(folder.read(QStringLiteral("f5")), "file 5");
        EXPECT_TRUE(window.statuses.isEmpty()); // parallel runs write no per-URL status
    }
}

TEST_F(HttpDownloadTest, ParallelDownloadsOfOneNameNeverShareTheirFiles) {
    // Two URLs end in the same name. The second one reserves its files while the first transfer is
    // under way: the first's final name is an empty placeholder and its partial file is half
    // written. The server holds the second HEAD until then, and the rest of the first body until
    // the second GET has arrived.
    const QByteArray slow(20000, 's'), quick(3000, 'q');
    std::atomic<bool> slowUnderWay{false}, quickFetching{false};
    const auto waitFor = [](const std::atomic<bool>& flag) {
        for (int i = 0; i < 500 && !flag; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    test::ScriptedServer server([&](test::ScriptedConnection& c) {
        for (QByteArray head = c.readHead(); !head.isEmpty(); head = c.readHead()) {
            const QByteArray line = test::requestLine(head);
            const bool first = line.contains("/slow/");
            const QByteArray& body = first ? slow : quick;
            const QByteArray reply =
                "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
            if (line.startsWith("HEAD")) {
                if (!first) waitFor(slowUnderWay);
                c.send(reply);
            } else if (first) {
                c.send(reply + body.left(5000));
                slowUnderWay = true;
                waitFor(quickFetching);
                c.send(body.mid(5000));
            } else {
                quickFetching = true;
                c.send(reply + body);
            }
        }
    });
    window.runSettings = {true, 2, false};
    run({server.url(QStringLiteral("/slow/a.zip")), server.url(QStringLiteral("/quick/a.zip"))});
    EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(dir.entries(), (QStringList{QStringLiteral("a (2).zip"), QStringLiteral("a.zip")}));
    EXPECT_EQ(dir.read(QStringLiteral("a.zip")), slow);
    EXPECT_EQ(dir.read(QStringLiteral("a (2).zip")), quick);
}

TEST_F(HttpDownloadTest, ShowsTheProgressOfASequentialTransfer) {
    site.put("/known", QByteArray(70000, 'k'));
    site.reply("/chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n");
    window.options.serverProposedName = false;
    run({url("/known")});
    ASSERT_FALSE(window.progress.isEmpty());
    EXPECT_EQ(window.progress.last(), 1000); // the last report always reaches the window
    window.progress.clear();
    run({url("/chunked")});
    ASSERT_FALSE(window.progress.isEmpty());
    EXPECT_EQ(window.progress.last(), std::nullopt);
    EXPECT_EQ(dir.read(QStringLiteral("chunked")), "hello");
}

TEST_F(HttpDownloadTest, CountsTheBytesReceivedAndTheLengthEachTransferAnnounced) {
    site.put("/known", QByteArray(70000, 'k'));
    site.reply("/chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n");
    site.put("/empty", "");
    window.options.serverProposedName = false;
    QList<std::optional<qint64>> lengths;
    window.onProgress = [&] {
        for (const auto& [index, slot] : state.Slots.InUse())
            lengths << slot.FLength;
    };
    run({url("/known"), url("/chunked"), url("/empty")});
    // The chunked body counts as it came over the wire, with its framing (15 bytes).
    EXPECT_EQ(state.Counters.BytesReceived.load(), 70015);
    EXPECT_TRUE(lengths.contains(70000));
    EXPECT_TRUE(lengths.contains(std::nullopt));

    // A new run counts from 0; a resumed transfer counts what it received, from the overlap on.
    site.put("/resumed", QByteArray(6000, 'r'));
    dir.write(QStringLiteral("resumed.part"), QByteArray(5000, 'r'));
    run({url("/resumed")});
    EXPECT_EQ(state.Counters.BytesReceived.load(), 6000 - 3976);
    EXPECT_EQ(dir.read(QStringLiteral("resumed")), QByteArray(6000, 'r'));
}

TEST_F(HttpDownloadTest, SendsRequestsThroughTheProxyLineAndNamesItInErrors) {
    // The scripted site stands in for the HTTP proxy: it sees the absolute URI.
    site.reply("http://127.0.0.1:1/a.zip", test::httpReply("HTTP/1.1 502 Bad Gateway", {}, {}));
    window.options.serverProposedName = false;
    window.options.showErrors = true;
    window.proxyLines = {QStringLiteral("127.0.0.1:%1:user:secret").arg(site.port())};
    window.prepareProxies(ProxyType::Http);
    run({QStringLiteral("http://127.0.0.1:1/a.zip")});
    const QString proxy = QStringLiteral("127.0.0.1:%1:user:secret").arg(site.port());
    EXPECT_EQ(
        window.errorLog,
        QStringList{QStringLiteral("(ERROR) HTTP/1.1 502 Bad Gateway URL: http://127.0.0.1:1/a.zip Proxy: ") +
                    proxy});
    EXPECT_EQ(window.errorBoxes,
              QStringList{QStringLiteral("Download Error: HTTP/1.1 502 Bad Gateway\r\rURL: "
                                         "http://127.0.0.1:1/a.zip\r\rProxy: ") +
                          proxy});
}

} // namespace
} // namespace hl
