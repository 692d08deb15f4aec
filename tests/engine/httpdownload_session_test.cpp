// What one URL's client keeps from request to request: cookies across its HEAD, its attempts and
// its redirects (and nothing across URLs), and the credentials of its user-info.
#include "engine/downloader.h"
#include "support/digestserver.h"
#include "support/httpscript.h"
#include "support/recordingwindow.h"
#include "support/tempdir.h"

#include <QMutex>
#include <gtest/gtest.h>

namespace hl {
namespace {

class SessionDownloadTest : public ::testing::Test {
protected:
    SessionDownloadTest() {
        window.options.saveFolder = dir.path();
        window.options.connectTimeoutMs = 5000;
        window.options.readTimeoutMs = 5000;
        window.options.showErrors = false;
    }

    void run(const QStringList& lines) {
        window.lines = lines;
        TDownloader(window, state, EngineEnvironment{}).DownloadNow();
    }

    test::TempDir dir;
    test::RecordingWindow window;
    RunState state;
};

TEST_F(SessionDownloadTest, CookiesSpanTheHeadTheAttemptsAndTheRedirectsOfOneUrlOnly) {
    QMutex mutex;
    QStringList seen; // request line + " | " + Cookie value
    int redirectTargetGets = 0;
    test::ScriptedServer server(test::answerEachRequest([&](const QByteArray& request) {
        QMutexLocker lock(&mutex);
        const QByteArray line = test::requestLine(request);
        seen.append(QString::fromLatin1(line.left(line.lastIndexOf(' ')) + " | " +
                                        test::headerValue(request, "Cookie")));
        if (line.startsWith("HEAD /one"))
            return test::httpReply("HTTP/1.1 200 OK", "Set-Cookie: h=1\r\n", "");
        if (line.startsWith("GET /one "))
            return test::httpReply("HTTP/1.1 302 Found", "Set-Cookie: r=2\r\nLocation: /one-b\r\n", "");
        // The first answer is empty, which makes the procedure ask again.
        if (line.startsWith("GET /one-b"))
            return test::httpReply("HTTP/1.1 200 OK", "Set-Cookie: e=3\r\n",
                                   ++redirectTargetGets == 1 ? "" : "one");
        return test::httpReply("HTTP/1.1 200 OK", "", "two");
    }));
    run({QStringLiteral("http://127.0.0.1:%1/one").arg(server.port()),
         QStringLiteral("http://127.0.0.1:%1/two").arg(server.port())});
    EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
    EXPECT_EQ(dir.read(QStringLiteral("one")), "one");
    EXPECT_EQ(seen, QStringList({QStringLiteral("HEAD /one | "), QStringLiteral("GET /one | h=1"),
                                 QStringLiteral("GET /one-b | h=1; r=2"),
                                 QStringLiteral("GET /one | h=1; r=2; e=3"),
                                 QStringLiteral("GET /one-b | h=1; r=2; e=3"), QStringLiteral("HEAD /two | "),
                                 QStringLiteral("GET /two | ")}));
}

TEST_F(SessionDownloadTest, UserInfoAnswersBasicAndDigestChallenges) {
    const auto ok = [](const QByteArray&) { return test::httpReply("HTTP/1.1 200 OK", "", "secret"); };
    test::DigestServer digest("u", "p", ok);
    test::ScriptedServer digestSite(
        test::answerEachRequest([&](const QByteArray& request) { return digest.respond(request); }));
    test::ScriptedServer basicSite(test::answerEachRequest([&](const QByteArray& request) {
        if (test::headerValue(request, "Authorization") == "Basic " + QByteArray("u:p").toBase64())
            return ok(request);
        return test::httpReply("HTTP/1.1 401 Unauthorized", "WWW-Authenticate: Basic realm=\"r\"\r\n",
                               "login page");
    }));
    for (const test::ScriptedServer* site : {&basicSite, &digestSite}) {
        for (const bool serverName : {true, false}) {
            test::TempDir folder;
            window.options.saveFolder = folder.path();
            window.options.serverProposedName = serverName;
            window.errorLog.clear();
            const QString withUser = QStringLiteral("http://u:p@127.0.0.1:%1/secret.zip").arg(site->port());
            const QString anonymous = QStringLiteral("http://127.0.0.1:%1/other.zip").arg(site->port());
            run({withUser, anonymous});
            EXPECT_EQ(folder.read(QStringLiteral("secret.zip")), "secret");
            EXPECT_FALSE(folder.exists(QStringLiteral("other.zip")));
            EXPECT_EQ(window.errorLog,
                      QStringList{QStringLiteral("(ERROR) HTTP/1.1 401 Unauthorized URL: ") + anonymous});
        }
    }
}

} // namespace
} // namespace hl
