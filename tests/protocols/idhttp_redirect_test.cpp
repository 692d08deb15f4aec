#include "protocols/httpexceptions.h"
#include "protocols/idhttp.h"
#include "support/httpscript.h"
#include "testclient.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using test::answerEachRequest;
using test::headerValue;
using test::httpReply;
using test::requestLine;
using test::ScriptedServer;
using test::splitRequests;
using test::TestClient;

// /r/N answers 302 to /r/N+1, anything else 200 "final".
QByteArray redirectChain(const QByteArray& request) {
    const QByteArray path = requestLine(request).split(' ').value(1);
    if (path.startsWith("/r/")) {
        const int n = path.mid(3).toInt();
        return httpReply("HTTP/1.1 302 Found", "Location: /r/" + QByteArray::number(n + 1) + "\r\n", "moved");
    }
    return httpReply("HTTP/1.1 200 OK", "", "final");
}

TEST(HttpRedirects, NinthRedirectEndsTheCallWithoutErrorAndWritesNothing) {
    ScriptedServer server(answerEachRequest(redirectChain));
    TestClient http;
    http.HandleRedirects = true;
    http.RedirectMaximum = 9;
    std::vector<std::pair<QString, int>> seen;
    http.OnRedirect = [&](QString& dest, int& numRedirect, bool& handled, QString& method) {
        EXPECT_TRUE(handled);
        EXPECT_EQ(method, QStringLiteral("GET"));
        seen.emplace_back(dest, numRedirect);
    };
    TMemoryStream destination;
    destination.Write(QByteArray("keep"));

    http.Get(server.url(QStringLiteral("/r/1")), &destination);

    EXPECT_EQ(destination.Data(), "keep");
    EXPECT_EQ(destination.Position(), 4);
    EXPECT_EQ(http.Response.ResponseCode, 302);
    EXPECT_EQ(http.Response.Location, QStringLiteral("/r/10"));
    ASSERT_EQ(seen.size(), 9u);
    EXPECT_EQ(seen.front(), std::make_pair(QStringLiteral("/r/2"), 1));
    EXPECT_EQ(seen.back(), std::make_pair(QStringLiteral("/r/10"), 9));
    http.Disconnect();
    server.waitIdle();
    EXPECT_EQ(splitRequests(server.received().at(0)).size(), 9); // eight followed, all on one connection
}

TEST(HttpRedirects, FollowedChainKeepsTheRangeAndWritesOnlyTheFinalBody) {
    ScriptedServer server(answerEachRequest([](const QByteArray& request) {
        return requestLine(request).contains("/r/3") ? "HTTP/1.1 206 Partial Content\r\nTransfer-Encoding: "
                                                       "chunked\r\n\r\n5\r\nfinal\r\n0\r\n\r\n"
                                                     : redirectChain(request);
    }));
    TestClient http;
    http.HandleRedirects = true;
    http.Request.Range = QStringLiteral("5-");
    // A resumed file: what lies beyond the position is fetched again, so a redirect cuts it off.
    TMemoryStream destination;
    destination.Write(QByteArray("01234stale data"));
    destination.Seek(5);
    http.Get(server.url(QStringLiteral("/r/1")), &destination);
    EXPECT_EQ(destination.Data(), "01234final");
    http.Disconnect();
    server.waitIdle();
    const auto requests = splitRequests(server.received().at(0));
    ASSERT_EQ(requests.size(), 3);
    for (const QByteArray& request : requests)
        EXPECT_EQ(headerValue(request, "Range"), "bytes=5-");
}

TEST(HttpRedirects, RelativeLocationsResolveAgainstTheCurrentPathAndOtherHostsGetANewConnection) {
    ScriptedServer other(
        answerEachRequest([](const QByteArray&) { return httpReply("HTTP/1.1 200 OK", "", "there"); }));
    bool oldConnectionClosed = false;
    ScriptedServer first([&](test::ScriptedConnection& c) {
        const QByteArray locations[] = {"../b/f.zip", "f2.zip",
                                        "http://localhost:" + QByteArray::number(other.port()) + "/z/end"};
        for (const QByteArray& location : locations) {
            if (c.readHead().isEmpty()) return;
            c.send(httpReply("HTTP/1.1 302 Found", "Location: " + location + "\r\n", ""));
        }
        oldConnectionClosed = c.waitForClientClose(2000);
    });
    TestClient http;
    http.HandleRedirects = true;
    TMemoryStream destination;
    http.Get(first.url(QStringLiteral("/a/x/page")), &destination);

    EXPECT_EQ(destination.Data(), "there");
    first.waitIdle();
    EXPECT_TRUE(oldConnectionClosed);
    const auto requests = splitRequests(first.received().at(0));
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requestLine(requests[0]), "GET /a/x/page HTTP/1.1");
    EXPECT_EQ(requestLine(requests[1]), "GET /a/b/f.zip HTTP/1.1");
    EXPECT_EQ(requestLine(requests[2]), "GET /a/b/f2.zip HTTP/1.1");
    http.Disconnect();
    other.waitIdle();
    const QByteArray there = other.received().at(0);
    EXPECT_EQ(requestLine(there), "GET /z/end HTTP/1.1");
    EXPECT_EQ(headerValue(there, "Host"), "localhost:" + QByteArray::number(other.port()));
}

struct MethodCase {
    const char* method;
    const char* status;
    const char* expectedMethod;
    bool bodyKept; // the POST body goes to the new location too
    TIdHTTPOptions options = {};
};

void PrintTo(const MethodCase& c, std::ostream* os) {
    *os << c.method << " answered " << c.status;
}

class RedirectMethods : public ::testing::TestWithParam<MethodCase> {};

TEST_P(RedirectMethods, KeepOrChangeTheMethodByStatus) {
    const MethodCase c = GetParam();
    ScriptedServer server(answerEachRequest([&](const QByteArray& request) {
        return requestLine(request).contains("/from") ? httpReply(c.status, "Location: /to\r\n", "")
                                                      : httpReply("HTTP/1.1 200 OK", "", "");
    }));
    TestClient http;
    http.HandleRedirects = true;
    http.HTTPOptions |= c.options;
    const QByteArray body = "a=1";
    const QString method = QString::fromLatin1(c.method);
    http.DoRequest(method, server.url(QStringLiteral("/from")),
                   method == QLatin1String("POST") ? &body : nullptr, nullptr);
    http.Disconnect();
    server.waitIdle();
    const auto requests = splitRequests(server.received().at(0));
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requestLine(requests[1]), QByteArray(c.expectedMethod) + " /to HTTP/1.1");
    EXPECT_EQ(requests[1].endsWith("\r\n\r\na=1"), c.bodyKept);
    EXPECT_EQ(headerValue(requests[1], "Content-Length"), c.bodyKept ? "3" : "");
}

INSTANTIATE_TEST_SUITE_P(
    ByStatus, RedirectMethods,
    ::testing::Values(MethodCase{"HEAD", "HTTP/1.1 302 Found", "HEAD", false},
                      MethodCase{"POST", "HTTP/1.1 303 See Other", "GET", false},
                      MethodCase{"HEAD", "HTTP/1.1 303 See Other", "HEAD", false},
                      MethodCase{"POST", "HTTP/1.1 307 Temporary Redirect", "POST", true},
                      MethodCase{"POST", "HTTP/1.1 302 Found", "POST", true},
                      MethodCase{"POST", "HTTP/1.1 302 Found", "GET", false, hoTreat302Like303}),
    [](const auto& info) {
        const MethodCase& c = info.param;
        const std::string status(c.status);
        return std::string(c.method) + "_" + status.substr(9, 3) + "_" + c.expectedMethod +
               (c.options ? "_Treat302Like303" : "");
    });

TEST(HttpRedirects, ThreeXxWithoutLocationIsAProtocolError) {
    ScriptedServer server(
        answerEachRequest([](const QByteArray&) { return httpReply("HTTP/1.1 302 Found", "", "no"); }));
    TestClient http;
    http.HandleRedirects = true;
    TMemoryStream destination;
    try {
        http.Get(server.url(), &destination);
        FAIL() << "no exception";
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("HTTP/1.1 302 Found"));
        EXPECT_EQ(e.ErrorCode, 302);
        EXPECT_EQ(e.ErrorMessage, QStringLiteral("no"));
    }
    EXPECT_EQ(destination.Size(), 0);
}

TEST(HttpRedirects, HandlerDecidesWhetherARedirectIsAnError) {
    ScriptedServer server(answerEachRequest(redirectChain));
    TestClient http;
    http.HandleRedirects = true;
    http.HandleRedirects = false;
    EXPECT_THROW(http.Get(server.url(QStringLiteral("/r/1")), nullptr), EIdHTTPProtocolException);

    // Handled but not followed: the call ends normally and names the target.
    http.OnRedirect = [](QString& dest, int&, bool& handled, QString&) {
        handled = true;
        dest = QStringLiteral("/elsewhere");
    };
    http.Get(server.url(QStringLiteral("/r/1")), nullptr);
    EXPECT_EQ(http.Response.ResponseCode, 302);
    EXPECT_EQ(http.Response.Location, QStringLiteral("/elsewhere"));
}

TEST(HttpRedirects, ALocationOnAnotherSchemeIsNotFollowed) {
    ScriptedServer ftp([](test::ScriptedConnection& connection) { connection.send("220 ready\r\n"); });
    const QByteArray targets[] = {"ftp://127.0.0.1:" + QByteArray::number(ftp.port()) + "/f.bin",
                                  "FTP://127.0.0.1:" + QByteArray::number(ftp.port()) + "/f.bin",
                                  "file:///etc/passwd"};
    for (const QByteArray& target : targets) {
        ScriptedServer server(answerEachRequest([&](const QByteArray&) {
            return httpReply("HTTP/1.1 302 Found", "Location: " + target + "\r\n", "");
        }));
        TestClient http;
        http.HandleRedirects = true;
        TMemoryStream destination;
        try {
            http.Get(server.url(), &destination);
            ADD_FAILURE() << "followed " << target.toStdString();
        } catch (const EIdUnknownProtocol&) {
        }
    }
    EXPECT_EQ(ftp.connectionCount(), 0);
}

} // namespace
} // namespace hl
