#include "protocols/httpconnecttunnel.h"
#include "protocols/httpexceptions.h"
#include "protocols/iohandlersocket.h"
#include "support/digestserver.h"
#include "support/httpscript.h"
#include "support/qtprinters.h"
#include "support/scriptedserver.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using test::ScriptedConnection;
using test::ScriptedServer;

const QByteArray kAccept = "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n";
const QByteArray kOpened = "HTTP/1.1 200 Connection established\r\n\r\n";

// A transport to target through the tunnel to the scripted proxy.
struct TunneledTransport : TIdIOHandlerSocket {
    TunneledTransport(const ScriptedServer& proxy, const QString& target, quint16 port,
                      const QString& user = QString()) {
        HttpConnectTunnel tunnel;
        tunnel.Host = QStringLiteral("127.0.0.1");
        tunnel.Port = proxy.port();
        tunnel.Username = user;
        tunnel.Password = QStringLiteral("p");
        Host = target;
        Port = port;
        ReadTimeout = 2000;
        SetTransparentProxy(&tunnel);
    }
};

QString errorOf(TIdIOHandlerSocket& io) {
    try {
        io.Open();
    } catch (const Exception& e) {
        return e.message();
    }
    return QString();
}

// A proxy line's credentials go as Basic with the first CONNECT; a Digest challenge is answered and
// the CONNECT goes again: on the same connection when the proxy keeps it, on a new one when it
// closes with its 407.
TEST(HttpConnectTunnel, CredentialsGoAsBasicFirstAndADigestChallengeIsAnswered) {
    const struct {
        const char* name;
        bool digest;
        bool closeWithChallenge;
        QString target;
    } cases[] = {
        {"Basic, accepted at once", false, false, QStringLiteral("127.0.0.1")},
        {"Digest, kept connection", true, false, QStringLiteral("127.0.0.1")},
        {"Digest, closed with the 407", true, true, QStringLiteral("::1")},
    };
    const QByteArray basic = "Basic " + QByteArray("u:p").toBase64();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::DigestServer digest(
            "u", "p", [](const QByteArray&) { return kOpened; }, test::DigestServer::Role::Proxy);
        ScriptedServer proxy([&](ScriptedConnection& connection) {
            for (;;) {
                const QByteArray head = connection.readHead();
                if (head.isEmpty()) return;
                QByteArray answer =
                    c.digest ? digest.respond(head)
                    : test::headerValue(head, "Proxy-Authorization") == basic
                        ? kOpened
                        : test::httpReply("HTTP/1.1 407 Proxy Authentication Required",
                                          "Proxy-Authenticate: Basic realm=\"p\"\r\n", "who?");
                if (answer == kOpened) {
                    connection.send(answer + "first bytes of the target\r\n");
                    connection.waitForClientClose(5000);
                    return;
                }
                if (c.closeWithChallenge) answer.replace("\r\n\r\n", "\r\nConnection: close\r\n\r\n");
                connection.send(answer);
                if (c.closeWithChallenge) return;
            }
        });
        TunneledTransport io(proxy, c.target, 21, QStringLiteral("u"));
        EXPECT_EQ(errorOf(io), QString());
        EXPECT_EQ(io.ReadLn(), "first bytes of the target");
        io.Close();
        proxy.waitIdle();

        const QByteArray authority = c.target == QLatin1String("::1") ? "[::1]:21" : "127.0.0.1:21";
        QList<QByteArray> requests;
        for (const QByteArray& received : proxy.received())
            requests += test::splitRequests(received);
        ASSERT_EQ(requests.size(), c.digest ? 2 : 1);
        // The HTTP client's CONNECT head; without a user agent that line stays out.
        EXPECT_EQ(requests[0], "CONNECT " + authority +
                                   " HTTP/1.1\r\nPragma: no-cache\r\n"
                                   "Proxy-Connection: keep-alive\r\nHost: " +
                                   authority + "\r\n" + kAccept + "Proxy-Authorization: " + basic +
                                   "\r\n\r\n");
        if (c.digest) {
            EXPECT_EQ(test::headerNames(requests[1]).back(), "Proxy-Authorization");
            EXPECT_TRUE(test::headerValue(requests[1], "Proxy-Authorization").startsWith("Digest "));
        }
        EXPECT_EQ(proxy.connectionCount(), c.closeWithChallenge ? 2 : 1);
    }
}

// Copies of a tunnel share the answered challenge: the next connection of the same client (an FTP
// data connection) carries the credentials at once, with the next nonce count.
TEST(HttpConnectTunnel, CopiesCarryTheAnsweredChallengeAtOnce) {
    test::DigestServer digest(
        "u", "p", [](const QByteArray&) { return kOpened; }, test::DigestServer::Role::Proxy);
    ScriptedServer proxy(
        test::answerEachRequest([&](const QByteArray& head) { return digest.respond(head); }));
    TunneledTransport control(proxy, QStringLiteral("127.0.0.1"), 21, QStringLiteral("u"));
    ASSERT_EQ(errorOf(control), QString());
    TIdIOHandlerSocket data;
    data.Host = QStringLiteral("127.0.0.1");
    data.Port = 5001;
    data.SetTransparentProxy(control.TransparentProxy());
    ASSERT_EQ(errorOf(data), QString());
    control.Close();
    data.Close();
    proxy.waitIdle();
    const auto received = proxy.received();
    ASSERT_EQ(received.size(), 2u);
    const auto dataRequests = test::splitRequests(received[1]);
    ASSERT_EQ(dataRequests.size(), 1);
    EXPECT_EQ(test::digestField(test::headerValue(dataRequests[0], "Proxy-Authorization"), "nc"), "00000002");
}

TEST(HttpConnectTunnel, ProxyAnswerOpensOrRefusesTheTunnel) {
    QByteArray manyHeaders = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i <= HttpConnectTunnel::kMaxHeaderLines; ++i)
        manyHeaders += "X-Filler: 1\r\n";
    const struct {
        const char* name;
        QByteArray answer; // "" : close without answering
        bool closeAfter;   // a body without a length ends with the connection
        const char* error; // nullptr: tunnel open
        int errorCode;
    } cases[] = {
        {"200 with headers", "HTTP/1.1 200 Connection established\r\nProxy-Agent: scripted\r\n\r\n", false,
         nullptr, 0},
        {"HTTP/1.0 204", "HTTP/1.0 204 No Content\r\n\r\n", false, nullptr, 0},
        {"empty status line", "\r\n", false, nullptr, 0},
        {"1xx before 200", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n\r\n", false, nullptr, 0},
        {"403", "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n", false, "HTTP/1.1 403 Forbidden", 403},
        {"407 without credentials",
         "HTTP/1.0 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n", true,
         "HTTP/1.0 407 Proxy Authentication Required", 407},
        {"no status code", "SSH-2.0-OpenSSH\r\n\r\n", true, "SSH-2.0-OpenSSH", -1},
        {"closed at once", "", false, "Connection Closed Gracefully.", 0},
        {"endless headers", manyHeaders, false, "Max header lines exceeded.", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer proxy([&](ScriptedConnection& connection) {
            connection.readHead();
            if (c.answer.isEmpty()) return;
            connection.send(c.answer + "first bytes of the target\r\n");
            if (!c.closeAfter) connection.waitForClientClose(5000);
        });
        TunneledTransport io(proxy, QStringLiteral("127.0.0.1"), 21);
        QString error;
        int errorCode = 0;
        try {
            io.Open();
        } catch (const EIdHTTPProtocolException& e) {
            error = e.message();
            errorCode = e.ErrorCode;
        } catch (const Exception& e) {
            error = e.message();
        }
        if (!c.error) {
            EXPECT_EQ(error, QString());
            EXPECT_EQ(io.ReadLn(), "first bytes of the target");
        } else {
            EXPECT_EQ(error, QString::fromLatin1(c.error));
            EXPECT_EQ(errorCode, c.errorCode);
            EXPECT_FALSE(io.Connected());
        }
    }
}

// A tunnel before the CONNECT (a SOCKS server in front of the proxy) runs again when the proxy
// closes the connection with its challenge: the new connection must reach the proxy the same way.
TEST(HttpConnectTunnel, NewConnectionAfterAChallengeRunsTheTunnelsBeforeAgain) {
    struct CountingTunnel final : ConnectionTunnel {
        quint16 port = 0;
        std::shared_ptr<int> handshakes = std::make_shared<int>(0);
        std::unique_ptr<ConnectionTunnel> clone() const override {
            return std::make_unique<CountingTunnel>(*this);
        }
        bool enabled() const override { return true; }
        QString serverHost() const override { return QStringLiteral("127.0.0.1"); }
        quint16 serverPort() const override { return port; }
        void handshake(TIdIOHandlerSocket&, const QString&, quint16) override { ++*handshakes; }
    };
    // The first connection's CONNECT is refused whatever it carries.
    ScriptedServer proxy([](ScriptedConnection& connection) {
        connection.readHead();
        if (connection.index() == 0) {
            connection.send(test::httpReply("HTTP/1.1 407 Proxy Authentication Required",
                                            "Proxy-Authenticate: Basic\r\nConnection: close\r\n", ""));
            return;
        }
        connection.send(kOpened);
        connection.waitForClientClose(5000);
    });
    CountingTunnel outer;
    outer.port = proxy.port();
    auto connect = std::make_shared<HttpConnectTunnel>();
    connect->Host = QStringLiteral("proxy.invalid"); // reached through the outer tunnel only
    connect->Username = QStringLiteral("u");
    TIdIOHandlerSocket io;
    io.Host = QStringLiteral("127.0.0.1");
    io.Port = 443;
    io.ReadTimeout = 2000;
    io.SetTransparentProxy(&outer);
    io.SetClientTunnel(connect);
    EXPECT_EQ(errorOf(io), QString());
    EXPECT_EQ(*outer.handshakes, 2);
    EXPECT_EQ(proxy.connectionCount(), 2);
}

} // namespace
} // namespace hl
