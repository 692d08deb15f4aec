#include "protocols/httpexceptions.h"
#include "protocols/idhttp.h"
#include "support/digestserver.h"
#include "support/httpscript.h"
#include "testclient.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using test::answerEachRequest;
using test::digestField;
using test::headerValue;
using test::httpReply;
using test::requestLine;
using test::ScriptedServer;
using test::splitRequests;
using test::TestClient;

const QByteArray kBasicUP = "Basic " + QByteArray("u:p").toBase64();

// A server behind Basic authentication for u:p; its challenge carries a body of its own.
QByteArray basicProtected(const QByteArray& request) {
    if (headerValue(request, "Authorization") == kBasicUP) return httpReply("HTTP/1.1 200 OK", "", "secret");
    return httpReply("HTTP/1.1 401 Unauthorized", "WWW-Authenticate: Basic realm=\"files\"\r\n",
                     "login page");
}

std::vector<QByteArray> authorizations(const ScriptedServer& server) {
    std::vector<QByteArray> values;
    for (const QByteArray& connection : server.received())
        for (const QByteArray& request : splitRequests(connection))
            values.push_back(headerValue(request, "Authorization"));
    return values;
}

TEST(HttpServerAuth, BasicChallengeIsAnsweredWithinTheCallAndNeverTakenForTheFile) {
    struct Case {
        const char* userInfo;
        const char* error; // empty: the download succeeds
        std::vector<QByteArray> sent;
    };
    const Case cases[] = {
        {"", "HTTP/1.1 401 Unauthorized", {""}},
        {"u:p@", "", {"", kBasicUP}},
        {"%75:%70@", "", {"", kBasicUP}}, // user-info is percent-decoded
        {"u:wrong@", "HTTP/1.1 401 Unauthorized", {"", "Basic " + QByteArray("u:wrong").toBase64()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.userInfo);
        ScriptedServer server(answerEachRequest(basicProtected));
        {
            TestClient http;
            TMemoryStream file;
            const QString url = QStringLiteral("http://") + QLatin1String(c.userInfo) +
                                QStringLiteral("127.0.0.1:%1/f").arg(server.port());
            try {
                http.Get(url, &file);
                EXPECT_STREQ(c.error, "");
                EXPECT_EQ(file.Data(), "secret");
            } catch (const EIdHTTPProtocolException& e) {
                EXPECT_EQ(e.message(), QLatin1String(c.error));
                EXPECT_EQ(e.ErrorMessage, QStringLiteral("login page"));
                EXPECT_EQ(file.Data(), ""); // the challenge's body is not the file
            }
        }
        server.waitIdle();
        EXPECT_EQ(authorizations(server), c.sent);
    }
}

TEST(HttpServerAuth, CredentialsFromTheHeadGoWithEveryLaterRequestToThatServerOnly) {
    ScriptedServer other(
        answerEachRequest([](const QByteArray&) { return httpReply("HTTP/1.1 200 OK", "", "x"); }));
    ScriptedServer server(answerEachRequest([&](const QByteArray& request) {
        if (requestLine(request).contains("/away"))
            return httpReply("HTTP/1.1 302 Found",
                             "Location: " + other.url(QStringLiteral("/x")).toLatin1() + "\r\n", "");
        return basicProtected(request);
    }));
    {
        TestClient http;
        http.HandleRedirects = true;
        http.Head(QStringLiteral("http://u:p@127.0.0.1:%1/f").arg(server.port()));
        EXPECT_EQ(http.Response.ResponseCode, 200);
        TMemoryStream file;
        http.Get(server.url(QStringLiteral("/f")), &file);
        EXPECT_EQ(file.Data(), "secret");
        http.Get(server.url(QStringLiteral("/away")), nullptr);
    }
    server.waitIdle();
    other.waitIdle();
    EXPECT_EQ(authorizations(server), (std::vector<QByteArray>{"", kBasicUP, kBasicUP, kBasicUP}));
    EXPECT_EQ(authorizations(other), std::vector<QByteArray>{""}); // the redirect's other server
}

TEST(HttpServerAuth, DigestChallengeIsAnsweredAndAStaleNonceRenewed) {
    test::DigestServer digest(
        "u", "p", [](const QByteArray&) { return httpReply("HTTP/1.1 200 OK", "", "digest ok"); });
    ScriptedServer server(
        answerEachRequest([&](const QByteArray& request) { return digest.respond(request); }));
    {
        TestClient http;
        for (const char* path : {"/a", "/b?q=1", "/c"}) {
            TMemoryStream file;
            http.Get(QStringLiteral("http://u:p@127.0.0.1:%1%2").arg(server.port()).arg(QLatin1String(path)),
                     &file);
            EXPECT_EQ(file.Data(), "digest ok") << path;
        }
    }
    server.waitIdle();
    const auto sent = authorizations(server);
    ASSERT_EQ(sent.size(), 5u); // challenge, n1 twice, stale, n2
    EXPECT_EQ(sent[0], "");
    EXPECT_EQ(digestField(sent[1], "nc"), "00000001");
    EXPECT_EQ(digestField(sent[2], "nc"), "00000002");
    EXPECT_EQ(digestField(sent[4], "nonce"), "n2");
    EXPECT_EQ(digestField(sent[4], "nc"), "00000001");
}

TEST(HttpServerAuth, ChallengesThatCannotBeAnsweredFailWithTheirStatusLine) {
    const struct {
        QByteArray challenges;
        int requests;
    } cases[] = {
        {"WWW-Authenticate: NTLM\r\nWWW-Authenticate: Negotiate\r\n", 1},
        // A nonce that is always stale: three answers per call, then the challenge stands.
        {"WWW-Authenticate: Digest realm=\"r\", nonce=\"n\", stale=true\r\n", 4},
    };
    for (const auto& c : cases) {
        ScriptedServer server(answerEachRequest(
            [&](const QByteArray&) { return httpReply("HTTP/1.1 401 Unauthorized", c.challenges, ""); }));
        {
            TestClient http;
            try {
                http.Get(QStringLiteral("http://u:p@127.0.0.1:%1/").arg(server.port()), nullptr);
                ADD_FAILURE() << "no exception";
            } catch (const EIdHTTPProtocolException& e) {
                EXPECT_EQ(e.message(), QStringLiteral("HTTP/1.1 401 Unauthorized"));
                EXPECT_EQ(e.ErrorCode, 401);
            }
        }
        server.waitIdle();
        EXPECT_EQ(authorizations(server).size(), size_t(c.requests)) << c.challenges.constData();
    }
}

TEST(HttpCookies, ClientKeepsItsOwnJarUnlessCookiesAreOff) {
    ScriptedServer server(answerEachRequest([](const QByteArray& request) {
        if (requestLine(request).contains("/login"))
            return httpReply("HTTP/1.1 302 Found", "Set-Cookie: sid=42; Path=/\r\nLocation: /files/f\r\n",
                             "");
        return httpReply("HTTP/1.1 200 OK", "", "f");
    }));
    for (const bool allow : {true, false}) {
        {
            TestClient http;
            http.AllowCookies = allow;
            http.HandleRedirects = true;
            http.Get(server.url(QStringLiteral("/login")), nullptr);
            http.Get(server.url(QStringLiteral("/other")), nullptr);
            EXPECT_EQ(http.CookieManager != nullptr, allow);
        }
        server.waitIdle();
        const auto requests = splitRequests(server.received().back());
        ASSERT_EQ(requests.size(), 3);
        EXPECT_EQ(headerValue(requests[0], "Cookie"), "");
        EXPECT_EQ(headerValue(requests[1], "Cookie"), allow ? "sid=42" : "");
        EXPECT_EQ(headerValue(requests[2], "Cookie"), allow ? "sid=42" : "");
    }
}

TEST(HttpFormPost, SendsTheEncodedFormAndReturnsTheReplyAsText) {
    ScriptedServer server(answerEachRequest([](const QByteArray& request) {
        if (requestLine(request).contains("/moved"))
            return httpReply("HTTP/1.1 302 Found", "Location: /form\r\n", "");
        return httpReply("HTTP/1.1 200 OK", "Content-Type: text/plain; charset=ISO-8859-1\r\n", "gr\xFC\xDF");
    }));
    TestClient http;
    EXPECT_EQ(http.Post(server.url(QStringLiteral("/form")),
                        {QStringLiteral("a=1 b"), QString::fromUtf8("c=x \xC3\xA4")}),
              QString::fromUtf8("gr\xC3\xBC\xC3\x9F"));
    http.Request.ContentType = QStringLiteral("text/plain");
    http.Post(server.url(QStringLiteral("/form")), {QStringLiteral("raw")});
    try {
        http.Post(server.url(QStringLiteral("/moved")), {QStringLiteral("a=1")});
        FAIL() << "no exception";
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("HTTP/1.1 302 Found"));
    }
    http.Disconnect();
    server.waitIdle();
    const auto requests = splitRequests(server.received().at(0));
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requestLine(requests[0]), "POST /form HTTP/1.1");
    EXPECT_EQ(headerValue(requests[0], "Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(headerValue(requests[0], "Content-Length"), "16");
    EXPECT_TRUE(requests[0].endsWith("\r\n\r\na=1+b&c=x+%C3%A4"));
    EXPECT_EQ(headerValue(requests[1], "Content-Type"), "text/plain");
}

} // namespace
} // namespace hl
