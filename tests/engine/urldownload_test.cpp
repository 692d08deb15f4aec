// What every URL goes through whatever its protocol: the rename of a finished file, STOP during a
// transfer and on a silent server, CSV folders and parallel downloads of one name. Each case runs
// once over HTTP and once over FTP against scripted loopback servers, so a fault of the shared
// lifecycle shows in both and a fault of one protocol's part in that one only.
#include "engine/downloader.h"
#include "engine/outputfiles.h"
#include "support/httpscript.h"
#include "support/recordingwindow.h"
#include "support/scriptedftp.h"
#include "support/scriptedserver.h"
#include "support/tempdir.h"

#include <QFile>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace hl {
namespace {

using test::ScriptedConnection;
using test::ScriptedServer;

// A server of one protocol that sends a file's body (HTTP announces its length), running beforeBody
// on the connection that carries it just before the body.
class FileServer {
public:
    virtual ~FileServer() = default;
    virtual QString url(const QString& path) const = 0;
    virtual int connectionCount() const = 0;
    // Whether the file at path was asked for (GET, RETR), once every session so far has ended.
    virtual bool asked(const QString& path) = 0;
};

class HttpFileServer final : public FileServer {
public:
    HttpFileServer(QByteArray body, std::function<void(ScriptedConnection&)> beforeBody)
        : server_([body, beforeBody](ScriptedConnection& c) {
              if (c.readHead().isEmpty()) return;
              c.send("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n");
              if (beforeBody) beforeBody(c);
              c.send(body);
              c.waitForClientClose(5000);
          }) {}
    QString url(const QString& path) const override { return server_.url(path); }
    int connectionCount() const override { return server_.connectionCount(); }
    bool asked(const QString& path) override {
        server_.waitIdle();
        for (const QByteArray& head : server_.received())
            if (test::requestLine(head) == "GET " + path.toUtf8() + " HTTP/1.1") return true;
        return false;
    }

private:
    ScriptedServer server_;
};

class FtpFileServer final : public FileServer {
public:
    FtpFileServer(QByteArray body, std::function<void(ScriptedConnection&)> beforeBody)
        : server_({.replies = {{"ABOR", "426 Aborted.\r\n226 ABOR done."}}},
                  [body, beforeBody](ScriptedConnection& data) {
                      if (beforeBody) beforeBody(data);
                      data.send(body); // the close that follows ends the file
                  }) {}
    QString url(const QString& path) const override {
        return QStringLiteral("ftp://127.0.0.1:%1%2").arg(server_.port()).arg(path);
    }
    int connectionCount() const override { return server_.connectionCount(); }
    bool asked(const QString& path) override {
        for (int i = 0; i < server_.connectionCount(); ++i)
            if (server_.commands(i).contains("RETR " + path.toUtf8())) return true;
        return false;
    }

private:
    test::ScriptedFtpServer server_;
};

struct Protocol {
    const char* name;
    const char* scheme;
    std::function<std::unique_ptr<FileServer>(QByteArray, std::function<void(ScriptedConnection&)>)> serve;
};

class UrlDownloadTest : public ::testing::TestWithParam<Protocol> {
protected:
    UrlDownloadTest() {
        window.options.saveFolder = dir.path();
        window.options.connectTimeoutMs = 5000;
        window.options.readTimeoutMs = 5000;
        window.options.showErrors = false;
        // No HEAD: one request per URL for either protocol.
        window.options.serverProposedName = false;
    }

    std::unique_ptr<FileServer> serve(QByteArray body,
                                      std::function<void(ScriptedConnection&)> beforeBody = {}) {
        return GetParam().serve(std::move(body), std::move(beforeBody));
    }

    void run(const QStringList& lines) {
        window.lines = lines;
        TDownloader(window, state, environment).DownloadNow();
    }

    test::TempDir dir;
    test::RecordingWindow window;
    RunState state;
    EngineEnvironment environment;
};

TEST_P(UrlDownloadTest, AFinishedFileThatCannotTakeItsNameIsAnError) {
    // The final name turns into a folder with content while the transfer runs, so the rename fails.
    auto server = serve("body", [&](ScriptedConnection&) {
        QFile::remove(dir.file(QStringLiteral("a.txt")));
        dir.write(QStringLiteral("a.txt/inside"), "x");
    });
    run({server->url(QStringLiteral("/a.txt"))});
    ASSERT_EQ(window.errorLog.size(), 1);
    EXPECT_TRUE(window.errorLog[0].startsWith(QStringLiteral("(ERROR) Cannot rename")))
        << window.errorLog[0].toStdString();
    EXPECT_TRUE(window.downloadLog.isEmpty());
    EXPECT_EQ(dir.read(QStringLiteral("a.txt.part")), "body");
    EXPECT_EQ(state.Counters.CountErrors.load(), 1);
}

TEST_P(UrlDownloadTest, StopCutsTheTransferKeepsWhatArrivedAndStartsNoOtherUrl) {
    // The rest of the body comes only after the client has gone: the stop, asked for at the first
    // progress, ends the transfer.
    auto server = serve(QByteArray(100000, 'y'), [](ScriptedConnection& c) {
        c.send(QByteArray(1000, 'x'));
        c.waitForClientClose(5000);
    });
    window.options.readTimeoutMs = 0;
    window.onProgress = [&] { state.StopRequested.request(); };
    const QString url = server->url(QStringLiteral("/a.zip"));
    run({url, server->url(QStringLiteral("/b.zip"))});
    EXPECT_EQ(window.errorLog, QStringList{QStringLiteral("(ERROR) Download stopped URL: ") + url});
    EXPECT_TRUE(window.downloadLog.isEmpty());
    EXPECT_TRUE(window.errorBoxes.isEmpty());
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("a.zip.part")}); // no empty placeholder left
    EXPECT_EQ(dir.read(QStringLiteral("a.zip.part")), QByteArray(1000, 'x'));
    EXPECT_EQ(server->connectionCount(), 1); // the second URL was never started
    EXPECT_EQ(state.Counters.CountErrors.load(), 1);
    EXPECT_EQ(state.Counters.CountDownloading.load(), 0);
}

TEST_P(UrlDownloadTest, StopEndsAServerThatNeverAnswers) {
    // Without a read time-out only the stop request can end the wait for the first reply (the HTTP
    // status line, the FTP greeting). The server asks for the stop once the client is connected.
    ScriptedServer silent([&](ScriptedConnection& c) {
        state.StopRequested.request();
        c.waitForClientClose(60000);
    });
    window.options.readTimeoutMs = 0;
    const QString url = QStringLiteral("%1://127.0.0.1:%2/a.zip").arg(GetParam().scheme).arg(silent.port());
    auto finished = std::async(std::launch::async, [&] { run({url}); });
    // A run that ignores the stop would wait for ever; the bound only keeps a failure from hanging.
    ASSERT_EQ(finished.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_EQ(window.errorLog, QStringList{QStringLiteral("(ERROR) Download stopped URL: ") + url});
    EXPECT_TRUE(dir.entries().isEmpty());
}

TEST_P(UrlDownloadTest, SendsCsvLinesToTheirFolders) {
    auto server = serve("csv");
    test::TempDir elsewhere;
    window.options.treatAsCsv = true;
    run({server->url(QStringLiteral("/a.txt,sub/deep")),
         server->url(QStringLiteral("/a.txt,")) + elsewhere.path()});
    EXPECT_EQ(dir.read(QStringLiteral("sub/deep/a.txt")), "csv");
    EXPECT_EQ(elsewhere.read(QStringLiteral("a.txt")), "csv");
    EXPECT_TRUE(server->asked(QStringLiteral("/a.txt"))); // the folder part is not the server's
}

TEST_P(UrlDownloadTest, ParallelDownloadsOfOneNameTakeNumberedFiles) {
    auto one = serve("one");
    auto two = serve("two");
    window.options.skipExisting = false;
    window.runSettings.multiThreaded = true;
    window.runSettings.multiThreads = 2;
    run({one->url(QStringLiteral("/a.txt")), two->url(QStringLiteral("/a.txt"))});
    EXPECT_EQ(window.downloadLog.size(), 2);
    EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(dir.entries(), (QStringList{QStringLiteral("a (2).txt"), QStringLiteral("a.txt")}));
    QStringList bodies{QString::fromLatin1(dir.read(QStringLiteral("a.txt"))),
                       QString::fromLatin1(dir.read(QStringLiteral("a (2).txt")))};
    bodies.sort();
    EXPECT_EQ(bodies, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    // Parallel runs show no per-URL status or progress.
    EXPECT_TRUE(window.statuses.isEmpty());
    EXPECT_TRUE(window.progress.isEmpty());
}

template <class Server>
std::unique_ptr<FileServer> start(QByteArray body, std::function<void(ScriptedConnection&)> beforeBody) {
    return std::make_unique<Server>(std::move(body), std::move(beforeBody));
}

INSTANTIATE_TEST_SUITE_P(Protocols, UrlDownloadTest,
                         ::testing::Values(Protocol{"Http", "http", start<HttpFileServer>},
                                           Protocol{"Ftp", "ftp", start<FtpFileServer>}),
                         [](const ::testing::TestParamInfo<Protocol>& info) { return info.param.name; });

} // namespace
} // namespace hl
