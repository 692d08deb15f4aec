#include "protocols/httpexceptions.h"
#include "protocols/idhttp.h"
#include "protocols/socketerror.h"
#include "support/blackholelistener.h"
#include "support/fixedresolver.h"
#include "support/httpscript.h"
#include "support/loopbacksocket.h"
#include "testclient.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace hl {
namespace {

using test::answerEachRequest;
using test::headerNames;
using test::headerValue;
using test::httpReply;
using test::requestLine;
using test::ScriptedConnection;
using test::ScriptedServer;
using test::splitRequests;
using test::TestClient;

QByteArray ok(const QByteArray&) {
    return httpReply("HTTP/1.1 200 OK", "", "ok");
}

TEST(HttpConnections, ConnectionIsReusedUntilTheServerSaysClose) {
    int calls = 0;
    ScriptedServer server(answerEachRequest([&](const QByteArray&) {
        ++calls;
        return httpReply("HTTP/1.1 200 OK", calls == 2 ? "Connection: close\r\n" : "", "ok");
    }));
    TestClient http;
    for (int i = 0; i < 3; ++i)
        http.Get(server.url(), nullptr);
    http.Disconnect();
    server.waitIdle();
    EXPECT_EQ(server.connectionCount(), 2);
    EXPECT_EQ(splitRequests(server.received().at(0)).size(), 2);
    EXPECT_EQ(splitRequests(server.received().at(1)).size(), 1);
}

TEST(HttpConnections, Http10ServerKeepsTheConnectionOnlyWhenItSaysKeepAlive) {
    for (const QByteArray& headers : {QByteArray(), QByteArray("Connection: keep-alive\r\n")}) {
        ScriptedServer server(answerEachRequest(
            [&](const QByteArray&) { return httpReply("HTTP/1.0 200 OK", headers, "ok"); }));
        TestClient http;
        http.Head(server.url());
        http.Get(server.url(), nullptr);
        http.Disconnect();
        server.waitIdle();
        EXPECT_EQ(server.connectionCount(), headers.isEmpty() ? 2 : 1) << headers.constData();
    }
}

TEST(HttpConnections, KeptConnectionThatThePeerDropsUnansweredIsReplacedOnceForGetAndHead) {
    // Every connection answers one request and drops the next without a word, as a server whose
    // idle time ran out while the request was on its way.
    ScriptedServer server([](ScriptedConnection& c) {
        c.readHead();
        c.send(httpReply("HTTP/1.1 200 OK", "", "first"));
        c.readHead();
    });
    for (const char* method : {"GET", "HEAD", "POST"}) {
        SCOPED_TRACE(method);
        TestClient http;
        const QByteArray body = "x=1";
        const bool post = QByteArray(method) == "POST";
        http.Get(server.url(), nullptr);
        TMemoryStream reply;
        try {
            http.DoRequest(QLatin1String(method), server.url(), post ? &body : nullptr, &reply);
            EXPECT_FALSE(post);
            EXPECT_EQ(http.Response.ResponseCode, 200);
        } catch (const EIdException&) {
            EXPECT_TRUE(post); // a post may have reached the server: it is not sent twice
        }
    }
}

TEST(HttpConnections, PeerThatClosedBetweenCallsGetsANewConnection) {
    ScriptedServer server([](ScriptedConnection& c) {
        c.readHead();
        c.send(httpReply("HTTP/1.1 200 OK", "", "once"));
    });
    TestClient http;
    http.Get(server.url(), nullptr);
    ASSERT_TRUE(server.waitForScripts(1));
    http.Get(server.url(), nullptr);
    EXPECT_EQ(server.connectionCount(), 2);
}

TEST(HttpConnections, RequestHeadOfADownloadIsExact) {
    ScriptedServer server(answerEachRequest(ok));
    TestClient http;
    http.Compressor = std::make_shared<TIdCompressorZLib>();
    http.Request.UserAgent = QStringLiteral("Agent/1.0");
    http.Request.Range = QStringLiteral("12345-");
    http.Get(QStringLiteral("http://LocalHost:%1/d/f.zip#part").arg(server.port()), nullptr);
    http.Disconnect();
    server.waitIdle();
    EXPECT_EQ(server.received().at(0),
              "GET /d/f.zip HTTP/1.1\r\n"
              "Host: LocalHost:" +
                  QByteArray::number(server.port()) +
                  "\r\n"
                  "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                  "Accept-Encoding: deflate, gzip, identity\r\n"
                  "User-Agent: Agent/1.0\r\n"
                  "Range: bytes=12345-\r\n"
                  "\r\n");
}

TEST(HttpConnections, HeadTextIsSevenBitAndCannotBreakALine) {
    ScriptedServer server(answerEachRequest(ok));
    TestClient http;
    http.Request.UserAgent = QStringLiteral("evil\r\nX-Injected: 1 \u00e9");
    http.Get(server.url(QStringLiteral("/caf\u00e9/\u65e5.zip")), nullptr);
    http.Disconnect();
    server.waitIdle();
    const QByteArray head = server.received().at(0);
    // The target carries UTF-8 escapes, every other value a "?" for what 7 bits cannot hold.
    EXPECT_EQ(requestLine(head), "GET /caf%C3%A9/%E6%97%A5.zip HTTP/1.1");
    EXPECT_EQ(headerValue(head, "User-Agent"), "evil??X-Injected: 1 ?");
    EXPECT_EQ(headerValue(head, "X-Injected"), "");
}

TEST(HttpConnections, Http10AsksForKeepAliveAndRefusesNewerMethods) {
    ScriptedServer server(answerEachRequest(
        [](const QByteArray&) { return httpReply("HTTP/1.0 200 OK", "Connection: keep-alive\r\n", "ok"); }));
    TestClient http;
    http.ProtocolVersion = pv1_0;
    http.Get(server.url(), nullptr);
    http.Get(server.url(), nullptr);
    try {
        http.DoRequest(QStringLiteral("DELETE"), server.url(), nullptr, nullptr);
        FAIL() << "no exception";
    } catch (const EIdHTTPMethodRequiresVersion11& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Request method requires HTTP version 1.1"));
    }
    http.Disconnect();
    server.waitIdle();
    EXPECT_EQ(server.connectionCount(), 1);
    const QByteArray head = server.received().at(0);
    EXPECT_TRUE(head.startsWith("GET / HTTP/1.0\r\nConnection: keep-alive\r\n"));
}

TEST(HttpConnections, ProxiedRequestsNameTheAbsoluteUrlAndThePort) {
    ScriptedServer proxy(answerEachRequest(ok));
    TestClient http;
    http.ProxyParams.ProxyServer = QStringLiteral("127.0.0.1");
    http.ProxyParams.ProxyPort = proxy.port();
    http.Get(QStringLiteral("http://user:pw@localhost/dir/file.zip?x=1#frag"), nullptr);
    http.Get(QStringLiteral("http://localhost:8080/other"), nullptr);
    http.Disconnect();
    proxy.waitIdle();
    const auto requests = splitRequests(proxy.received().at(0));
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requestLine(requests[0]), "GET http://localhost/dir/file.zip?x=1 HTTP/1.1");
    EXPECT_EQ(headerValue(requests[0], "Host"), "localhost:80");
    EXPECT_EQ(requestLine(requests[1]), "GET http://localhost:8080/other HTTP/1.1");
    EXPECT_EQ(headerValue(requests[1], "Host"), "localhost:8080");
    EXPECT_EQ(http.Request.Username, QStringLiteral("user"));
}

// A bracketed IPv6 literal is connected to and named in brackets; a name whose first address never
// answers is reached on the next one, of the other family; an HTTP proxy on [::1] carries requests.
TEST(HttpConnections, IPv6LiteralsAndNamesOfBothFamiliesAreReached) {
    if (!test::ipv6LoopbackAvailable()) GTEST_SKIP() << "no IPv6 on the loopback interface";
    ScriptedServer v4(answerEachRequest(ok), test::kLoopbackIPv4);
    ScriptedServer v6(answerEachRequest(ok), test::kLoopbackIPv6);
    const test::BlackholeListener dead(test::kLoopbackIPv6, v4.port());
    const IpAddress loopback6 = *IpAddress::parse(test::kLoopbackIPv6);
    const IpAddress loopback4 = *IpAddress::parse(test::kLoopbackIPv4);
    {
        TestClient http;
        auto transport = std::make_shared<TIdIOHandlerSocket>();
        transport->Resolver = std::make_shared<test::FixedResolver>(
            std::map<QString, std::vector<IpAddress>>{{QStringLiteral("dual.test"), {loopback6, loopback4}}});
        transport->ConnectionAttemptDelay = 20;
        http.IOHandler = transport;
        TMemoryStream body;
        http.Get(QStringLiteral("http://[::1]:%1/f").arg(v6.port()), &body);
        http.Get(QStringLiteral("http://dual.test:%1/f").arg(v4.port()), &body);
        EXPECT_EQ(body.Data(), "okok");
        http.ProxyParams.ProxyServer = QStringLiteral("::1");
        http.ProxyParams.ProxyPort = v6.port();
        http.Get(QStringLiteral("http://files.example/g"), nullptr);
    }
    v4.waitIdle();
    v6.waitIdle();
    const auto toV6 = splitRequests(v6.received().at(0));
    ASSERT_EQ(toV6.size(), 1);
    EXPECT_EQ(headerValue(toV6[0], "Host"), QStringLiteral("[::1]:%1").arg(v6.port()).toLatin1());
    EXPECT_EQ(headerValue(splitRequests(v4.received().at(0)).at(0), "Host"),
              QStringLiteral("dual.test:%1").arg(v4.port()).toLatin1());
    EXPECT_EQ(requestLine(splitRequests(v6.received().at(1)).at(0)), "GET http://files.example/g HTTP/1.1");
}

TEST(HttpConnections, ConnectTimesOutAgainstAPeerThatNeverAnswers) {
    test::BlackholeListener blackhole;
    TestClient http;
    http.ConnectTimeout = 300;
    QElapsedTimer timer;
    timer.start();
    try {
        http.Get(QStringLiteral("http://127.0.0.1:%1/").arg(blackhole.port()), nullptr);
        FAIL() << "no exception";
    } catch (const EIdConnectTimeout& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Connect timed out."));
    }
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_LT(timer.elapsed(), 3000);
}

TEST(HttpConnections, ReadTimesOutAgainstASilentPeer) {
    ScriptedServer server([](ScriptedConnection& c) { c.waitForClientClose(3000); });
    TestClient http;
    http.ReadTimeout = 200;
    EXPECT_THROW(http.Get(server.url(), nullptr), EIdReadTimeout);
}

TEST(HttpConnections, AHeadDrippedByteByByteTimesOutAsAWhole) {
    // Each byte comes well within the read time-out; the head as a whole does not.
    ScriptedServer server([](ScriptedConnection& c) {
        if (c.readHead().isEmpty()) return;
        const QByteArray head = "HTTP/1.1 200 OK\r\nX-Drip: " + QByteArray(100, 'a');
        for (const char byte : head) {
            if (c.waitForClientClose(50)) return;
            c.send(QByteArray(1, byte));
        }
    });
    TestClient http;
    http.ReadTimeout = 500;
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(http.Get(server.url(), nullptr), EIdReadTimeout);
    EXPECT_GE(timer.elapsed(), 450);
    EXPECT_LT(timer.elapsed(), 3000);
}

class NoNamesResolver final : public HostResolver {
public:
    std::optional<quint32> lookup(const QString&) const override { return std::nullopt; }
};

TEST(HttpConnections, SocketErrorsCarryTheirNumberAndText) {
    TestClient http;
    auto transport = std::make_shared<TIdIOHandlerSocket>();
    transport->Resolver = std::make_shared<NoNamesResolver>();
    http.IOHandler = transport;
    const test::ClosedPort closed;
    const quint16 closedPort = closed.port();
    const std::pair<QString, int> cases[] = {
        {QStringLiteral("http://no-such-host.invalid/"), WSAHOST_NOT_FOUND},
        {QStringLiteral("http://127.0.0.1:%1/").arg(closedPort), WSAECONNREFUSED},
    };
    for (const auto& [url, number] : cases) {
        try {
            http.Get(url, nullptr);
            ADD_FAILURE() << "no exception for " << url.toStdString();
        } catch (const EIdSocketError& e) {
            EXPECT_EQ(e.LastError, number);
            EXPECT_EQ(e.message(), socketErrorMessage(number));
        }
    }
    EXPECT_EQ(socketErrorMessage(WSAHOST_NOT_FOUND),
              QStringLiteral("Socket Error # 11001\r\nHost not found."));
}

TEST(HttpConnections, UrlsThatCannotBeRequestedFailBeforeConnecting) {
    TestClient http;
    http.IOHandler = std::make_shared<TIdIOHandlerSocket>();
    EXPECT_THROW(http.Get(QStringLiteral("ftp://127.0.0.1/file"), nullptr), EIdUnknownProtocol);
    EXPECT_EQ(http.URL().Host, QString()); // a URL that cannot be requested changes nothing
    EXPECT_THROW(http.Get(QStringLiteral("/relative/only"), nullptr), EIdUnknownProtocol);
    EXPECT_THROW(http.Get(QStringLiteral("http:///no/host"), nullptr), EIdHostRequired);
    // A plain transport cannot carry TLS.
    EXPECT_THROW(http.Get(QStringLiteral("https://127.0.0.1:1/"), nullptr), EIdIOHandlerPropInvalid);
}

// Records what the client hands to a cookie jar and answers with a fixed Cookie value.
class RecordingCookieStore final : public HttpCookieStore {
public:
    void storeReplyCookies(const TIdURI& uri, const TIdHeaderList& headers) override {
        stored.append(uri.Path + uri.Document + QLatin1Char(' ') +
                      headers.Value(QStringLiteral("Set-Cookie")));
    }
    QString cookieHeader(const TIdURI&) override {
        return stored.isEmpty() ? QString() : QStringLiteral("a=1");
    }
    QStringList stored;
};

TEST(HttpConnections, CookieJarSeesEveryReplyAndFillsEveryRequest) {
    ScriptedServer server(answerEachRequest([](const QByteArray& request) {
        return requestLine(request).contains("/first")
                   ? httpReply("HTTP/1.1 302 Found", "Set-Cookie: a=1\r\nLocation: /second\r\n", "")
                   : httpReply("HTTP/1.1 200 OK", "", "ok");
    }));
    TestClient http;
    auto jar = std::make_shared<RecordingCookieStore>();
    http.CookieManager = jar;
    http.HandleRedirects = true;
    http.Get(server.url(QStringLiteral("/first")), nullptr);
    EXPECT_EQ(jar->stored, QStringList({QStringLiteral("/first a=1"), QStringLiteral("/second ")}));
    http.Disconnect();
    server.waitIdle();
    const auto requests = splitRequests(server.received().at(0));
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(headerValue(requests[0], "Cookie"), "");
    EXPECT_EQ(headerNames(requests[1]).back(), "Cookie");
}

} // namespace
} // namespace hl
