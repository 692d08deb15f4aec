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
using test::ScriptedConnection;
using test::ScriptedServer;
using test::splitRequests;
using test::TestClient;

const QByteArray kProxyUP = "Basic " + QByteArray("u:p").toBase64();
const QByteArray k407 = httpReply("HTTP/1.1 407 Proxy Authentication Required",
                                  "Proxy-Authenticate: Basic realm=\"proxy\"\r\n", "who are you?");

// A client that sends everything through the scripted proxy, with the proxy line's credentials.
struct ProxiedClient : TestClient {
    ProxiedClient(const ScriptedServer& proxy, const QString& user = {}) {
        ProxyParams.ProxyServer = QStringLiteral("127.0.0.1");
        ProxyParams.ProxyPort = proxy.port();
        ProxyParams.ProxyUsername = user;
        ProxyParams.ProxyPassword = QStringLiteral("p");
        Request.UserAgent = QStringLiteral("Agent/1.0");
    }
};

QString errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const EIdException& e) {
        return e.message();
    }
    return QStringLiteral("no error");
}

std::vector<QByteArray> allRequests(const ScriptedServer& server) {
    std::vector<QByteArray> requests;
    for (const QByteArray& connection : server.received())
        for (const QByteArray& request : splitRequests(connection))
            requests.push_back(request);
    return requests;
}

TEST(HttpProxyConnect, HeadLinesComeInTheirOrderAndARefusalCarriesTheProxysStatusLine) {
    ScriptedServer proxy([](ScriptedConnection& c) {
        c.readHead();
        c.send(httpReply("HTTP/1.1 403 Forbidden", "Set-Cookie: seen=1\r\n", "no tunnels"));
    });
    {
        ProxiedClient http(proxy);
        http.Compressor = std::make_shared<TIdCompressorZLib>();
        const QString error =
            errorOf([&] { http.Get(QStringLiteral("https://files.example/a/b.zip?x=1"), nullptr); });
        EXPECT_EQ(error, QStringLiteral("HTTP/1.1 403 Forbidden"));
        EXPECT_FALSE(http.Connected());
        // The CONNECT reply's cookies are kept for the URL's server.
        EXPECT_EQ(http.CookieManager->cookieHeader(http.URL()), QStringLiteral("seen=1"));
    }
    proxy.waitIdle();
    EXPECT_EQ(proxy.received().at(0),
              "CONNECT files.example:443 HTTP/1.1\r\n"
              "Pragma: no-cache\r\n"
              "Proxy-Connection: keep-alive\r\n"
              "Host: files.example:443\r\n"
              "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
              "User-Agent: Agent/1.0\r\n"
              "\r\n");
}

TEST(HttpProxyConnect, EmptyStatusLineOpensTheTunnel) {
    ScriptedServer proxy([](ScriptedConnection& c) {
        c.readHead();
        c.send("\r\n");
        c.readExact(1); // the first byte of what follows: the TLS handshake
    });
    {
        ProxiedClient http(proxy);
        EXPECT_NE(errorOf([&] { http.Get(QStringLiteral("https://127.0.0.1:8443/"), nullptr); }), QString());
    }
    proxy.waitIdle();
    const QByteArray received = proxy.received().at(0);
    EXPECT_TRUE(received.startsWith("CONNECT 127.0.0.1:8443 HTTP/1.1\r\n"));
    // A TLS handshake record follows on the same connection.
    EXPECT_EQ(received.mid(received.indexOf("\r\n\r\n") + 4, 1), "\x16");
}

TEST(HttpProxyConnect, ChallengeIsAnsweredOnceWithTheProxyLinesCredentials) {
    struct Case {
        const char* user;
        bool proxyAcceptsThem;
        const char* error;
        int connects;
    };
    const Case cases[] = {
        {"", true, "HTTP/1.1 407 Proxy Authentication Required", 1},
        {"u", true, "HTTP/1.1 502 Bad Gateway", 2}, // got past the proxy's check
        {"u", false, "HTTP/1.1 407 Proxy Authentication Required", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        // Each answer closes the connection, as many proxies do after a 407.
        ScriptedServer proxy([&c](ScriptedConnection& connection) {
            const QByteArray head = connection.readHead();
            const bool authorized =
                headerValue(head, "Proxy-Authorization") == kProxyUP && c.proxyAcceptsThem;
            connection.send(authorized ? httpReply("HTTP/1.1 502 Bad Gateway", "", "")
                                       : httpReply("HTTP/1.1 407 Proxy Authentication Required",
                                                   "Proxy-Authenticate: Basic\r\nConnection: close\r\n", ""));
        });
        {
            ProxiedClient http(proxy, QLatin1String(c.user));
            EXPECT_EQ(errorOf([&] { http.Get(QStringLiteral("https://files.example/f"), nullptr); }),
                      QLatin1String(c.error));
        }
        proxy.waitIdle();
        const auto requests = allRequests(proxy);
        ASSERT_EQ(requests.size(), size_t(c.connects));
        EXPECT_EQ(headerValue(requests[0], "Proxy-Authorization"), "");
        if (c.connects > 1) {
            EXPECT_EQ(headerValue(requests[1], "Proxy-Authorization"), kProxyUP);
        }
    }
}

TEST(HttpProxyRequests, ChallengeIsAnsweredAndTheCredentialsStayWithThatProxy) {
    const auto guarded = [](const QByteArray& request) {
        return headerValue(request, "Proxy-Authorization") == kProxyUP
                   ? httpReply("HTTP/1.1 200 OK", "", "file")
                   : k407;
    };
    ScriptedServer proxy(answerEachRequest(guarded));
    ScriptedServer second(answerEachRequest(guarded));
    {
        ProxiedClient anonymous(proxy);
        EXPECT_EQ(errorOf([&] { anonymous.Head(QStringLiteral("http://files.example/f")); }),
                  QStringLiteral("HTTP/1.1 407 Proxy Authentication Required"));

        ProxiedClient http(proxy, QStringLiteral("u"));
        http.Head(QStringLiteral("http://files.example/f"));
        TMemoryStream file;
        http.Get(QStringLiteral("http://files.example/f"), &file);
        EXPECT_EQ(file.Data(), "file");
        // Another proxy gets no credentials meant for the first; it asks for its own.
        http.ProxyParams.ProxyPort = second.port();
        http.Get(QStringLiteral("http://files.example/f"), nullptr);
    }
    proxy.waitIdle();
    second.waitIdle();
    const auto requests = allRequests(proxy);
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(headerValue(requests[1], "Proxy-Authorization"), "");
    EXPECT_EQ(requestLine(requests[2]), "HEAD http://files.example/f HTTP/1.1");
    EXPECT_EQ(test::headerNames(requests[3]).back(), "Proxy-Authorization"); // after the others
    const auto toSecond = allRequests(second);
    ASSERT_EQ(toSecond.size(), 2u);
    EXPECT_EQ(headerValue(toSecond[0], "Proxy-Authorization"), "");
}

// The absolute URL leaves out ftp's port 21, which only the protocol's name implies: the request
// answered with a challenge goes again to its target as merged, not to a URL made from it.
TEST(HttpProxyRequests, AChallengedRequestGoesAgainToTheTargetItHad) {
    ScriptedServer proxy(answerEachRequest([](const QByteArray& request) {
        return headerValue(request, "Proxy-Authorization") == kProxyUP
                   ? httpReply("HTTP/1.1 200 OK", "", "file")
                   : k407;
    }));
    {
        ProxiedClient http(proxy, QStringLiteral("u"));
        TMemoryStream file;
        http.Get(QStringLiteral("ftp://files.example:21/pub/f"), &file);
        EXPECT_EQ(file.Data(), "file");
    }
    proxy.waitIdle();
    const auto requests = allRequests(proxy);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requestLine(requests[0]), "GET ftp://files.example/pub/f HTTP/1.1");
    EXPECT_EQ(requestLine(requests[1]), "GET ftp://files.example/pub/f HTTP/1.1");
}

TEST(HttpProxyRequests, Http10AsksTheProxyToKeepTheConnection) {
    ScriptedServer proxy(answerEachRequest([](const QByteArray&) {
        return httpReply("HTTP/1.0 200 OK", "Proxy-Connection: keep-alive\r\n", "ok");
    }));
    {
        ProxiedClient http(proxy);
        http.ProtocolVersion = pv1_0;
        http.Get(QStringLiteral("http://files.example:80/one"), nullptr);
        http.Get(QStringLiteral("http://files.example/two"), nullptr);
    }
    proxy.waitIdle();
    EXPECT_EQ(proxy.connectionCount(), 1);
    const auto requests = allRequests(proxy);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requestLine(requests[0]), "GET http://files.example/one HTTP/1.0");
    EXPECT_EQ(headerValue(requests[0], "Proxy-Connection"), "keep-alive");
    EXPECT_EQ(headerValue(requests[0], "Connection"), "");
}

} // namespace
} // namespace hl
