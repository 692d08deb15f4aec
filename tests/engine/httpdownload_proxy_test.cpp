// The HTTP procedure through the proxy list: one line per URL in turn, the run starting at the
// first line, the line's credentials answering the proxy, and the line named in error lines.
#include "engine/downloader.h"
#include "support/httpscript.h"
#include "support/loopbacksocket.h"
#include "support/recordingwindow.h"
#include "support/scriptedsite.h"
#include "support/tempdir.h"

#include <QMutex>
#include <QSet>
#include <gtest/gtest.h>

namespace hl {
namespace {

// No URL of these tests may be looked up: a URL that went direct by mistake fails at once.
class NoNames final : public HostResolver {
public:
    std::optional<quint32> lookup(const QString&) const override { return std::nullopt; }
};

// A proxy that wants u:p (a 407 otherwise) and serves every absolute URL but 4.zip.
class GuardedProxy {
public:
    GuardedProxy()
        : server_(test::answerEachRequest([this](const QByteArray& request) {
              QMutexLocker lock(&mutex_);
              requests_.append(request);
              if (test::headerValue(request, "Proxy-Authorization") !=
                  "Basic " + QByteArray("u:p").toBase64())
                  return test::httpReply("HTTP/1.1 407 Proxy Authentication Required",
                                         "Proxy-Authenticate: Basic realm=\"b\"\r\n", "");
              const QByteArray target = test::requestLine(request).split(' ').value(1);
              if (target.endsWith("/4.zip")) return test::httpReply("HTTP/1.1 404 Not Found", "", "");
              return test::httpReply("HTTP/1.1 200 OK", "", "B " + target);
          })) {}

    quint16 port() const { return server_.port(); }
    QList<QByteArray> requests() {
        QMutexLocker lock(&mutex_);
        return requests_;
    }

private:
    QMutex mutex_;
    QList<QByteArray> requests_;
    test::ScriptedServer server_;
};

class ProxyDownloadTest : public ::testing::Test {
protected:
    ProxyDownloadTest() {
        window.options.saveFolder = dir.path();
        window.options.connectTimeoutMs = 5000;
        window.options.readTimeoutMs = 5000;
        environment.resolver = std::make_shared<NoNames>();
        for (const char* name : {"/1.zip", "/2.zip", "/3.zip", "/4.zip"})
            a.put(QByteArray("http://files.test") + name, QByteArray("A ") + name);
    }

    void run(const QStringList& lines, ProxyType type = ProxyType::Http) {
        window.lines = lines;
        window.prepareProxies(type);
        TDownloader(window, state, environment).DownloadNow();
    }

    static QStringList fourUrls() {
        return {QStringLiteral("http://files.test/1.zip"), QStringLiteral("http://files.test/2.zip"),
                QStringLiteral("http://files.test/3.zip"), QStringLiteral("http://files.test/4.zip")};
    }

    QString lineA() const { return QStringLiteral("127.0.0.1:%1").arg(a.port()); }
    QString lineB() const { return QStringLiteral("127.0.0.1:%1:u:p").arg(b.port()); }

    test::TempDir dir;
    test::ScriptedSite a;
    GuardedProxy b;
    test::RecordingWindow window;
    RunState state;
    EngineEnvironment environment;
};

TEST_F(ProxyDownloadTest, UrlsTakeTheLinesInTurnAndEveryRunStartsWithTheFirst) {
    window.proxyLines = {lineA(), QStringLiteral("   "), lineB()};
    run(fourUrls());
    EXPECT_EQ(window.proxyLines, QStringList({lineA(), lineB()})); // the blank line is gone
    EXPECT_EQ(dir.read(QStringLiteral("1.zip")), "A /1.zip");
    EXPECT_EQ(dir.read(QStringLiteral("2.zip")), "B http://files.test/2.zip");
    EXPECT_EQ(dir.read(QStringLiteral("3.zip")), "A /3.zip");
    EXPECT_EQ(window.errorLog, QStringList{QStringLiteral("(ERROR) HTTP/1.1 404 Not Found URL: "
                                                          "http://files.test/4.zip Proxy: ") +
                                           lineB()});
    EXPECT_EQ(a.count("HEAD", "http://files.test/1.zip") + a.count("HEAD", "http://files.test/3.zip"), 2);

    // B asked each URL's HEAD for credentials once; the GETs carried them at once.
    QStringList seenByB;
    for (const QByteArray& request : b.requests())
        seenByB.append(QString::fromLatin1(
            test::requestLine(request) + " " +
            (test::headerValue(request, "Proxy-Authorization").isEmpty() ? "-" : "auth")));
    EXPECT_EQ(seenByB, QStringList({QStringLiteral("HEAD http://files.test/2.zip HTTP/1.1 -"),
                                    QStringLiteral("HEAD http://files.test/2.zip HTTP/1.1 auth"),
                                    QStringLiteral("GET http://files.test/2.zip HTTP/1.1 auth"),
                                    QStringLiteral("HEAD http://files.test/4.zip HTTP/1.1 -"),
                                    QStringLiteral("HEAD http://files.test/4.zip HTTP/1.1 auth")}));

    // The rotation ended on B's turn; the next run starts at A again.
    window.errorLog.clear();
    run({QStringLiteral("http://files.test/4.zip")});
    EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
    EXPECT_EQ(a.count("GET", "http://files.test/4.zip"), 1);
}

TEST_F(ProxyDownloadTest, ParallelDownloadsShareTheTurnOneLinePerUrl) {
    window.proxyLines = {lineA(), lineB()};
    window.runSettings.multiThreaded = true;
    window.runSettings.multiThreads = 4;
    window.options.serverProposedName = false;
    run(fourUrls());
    // Which URL reaches the turn first is up to the threads; each proxy gets two of them.
    QSet<QByteArray> viaA, viaB;
    for (const QByteArray& request : a.requests())
        viaA.insert(test::requestLine(request));
    for (const QByteArray& request : b.requests())
        viaB.insert(test::requestLine(request));
    EXPECT_EQ(viaA.size(), 2);
    EXPECT_EQ(viaB.size(), 2);
    EXPECT_FALSE(viaA.intersects(viaB));
}

TEST_F(ProxyDownloadTest, LineWithoutAProxyGoesDirectAndIsStillNamed) {
    test::ScriptedSite direct;
    direct.put("/d.zip", "direct");
    for (const QString& line : {QStringLiteral("proxyhost"), QStringLiteral(":8080")}) {
        window.proxyLines = {line};
        window.errorLog.clear();
        run({direct.url("/d.zip"), QStringLiteral("http://127.0.0.1:1/refused.zip")});
        EXPECT_EQ(dir.read(QStringLiteral("d.zip")), "direct");
        EXPECT_EQ(window.errorLog,
                  QStringList{QStringLiteral("(ERROR) Socket Error # 10061\r\nConnection refused. "
                                             "URL: http://127.0.0.1:1/refused.zip Proxy: ") +
                              line});
        QFile::remove(dir.file(QStringLiteral("d.zip")));
    }
}

TEST_F(ProxyDownloadTest, ProxyThatDoesNotAnswerFailsTheUrlAndTheNextTakesTheNextLine) {
    const test::ClosedPort closedPort;
    const QString closed = QStringLiteral("127.0.0.1:%1").arg(closedPort.port());
    window.proxyLines = {closed, lineA()};
    run({QStringLiteral("http://files.test/1.zip"), QStringLiteral("http://files.test/2.zip")});
    ASSERT_EQ(window.errorLog.size(), 1);
    EXPECT_TRUE(
        window.errorLog[0].endsWith(QStringLiteral(" URL: http://files.test/1.zip Proxy: ") + closed));
    EXPECT_EQ(dir.read(QStringLiteral("2.zip")), "A /2.zip");
}

} // namespace
} // namespace hl
