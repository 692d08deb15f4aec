#include "protocols/httpconnecttunnel.h"
#include "protocols/httpexceptions.h"
#include "protocols/iohandlersocket.h"
#include "support/qtprinters.h"
#include "support/scriptedserver.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using test::ScriptedConnection;
using test::ScriptedServer;

TEST(HttpConnectTunnel, WritesConnectWithOptionalBasicCredentials) {
    HttpConnectTunnel tunnel;
    tunnel.Host = QStringLiteral("proxy.local");
    EXPECT_EQ(tunnel.connectRequest(QStringLiteral("127.0.0.1"), 21),
              "CONNECT 127.0.0.1:21 HTTP/1.1\r\nHost: 127.0.0.1:21\r\nProxy-Connection: keep-alive\r\n\r\n");
    tunnel.Username = QStringLiteral("user");
    tunnel.Password = QStringLiteral("secret");
    EXPECT_EQ(tunnel.connectRequest(QStringLiteral("::1"), 5001),
              "CONNECT [::1]:5001 HTTP/1.1\r\nHost: [::1]:5001\r\nProxy-Connection: keep-alive\r\n"
              "Proxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n\r\n");
}

TEST(HttpConnectTunnel, ProxyAnswerOpensOrRefusesTheTunnel) {
    QByteArray manyHeaders = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i <= HttpConnectTunnel::kMaxHeaderLines; ++i)
        manyHeaders += "X-Filler: 1\r\n";
    const struct {
        const char* name;
        QByteArray answer; // "" : close without answering
        const char* error; // nullptr: tunnel open
        int errorCode;
    } cases[] = {
        {"200 with headers", "HTTP/1.1 200 Connection established\r\nProxy-Agent: scripted\r\n\r\n", nullptr,
         0},
        {"HTTP/1.0 204", "HTTP/1.0 204 No Content\r\n\r\n", nullptr, 0},
        {"empty status line", "\r\n", nullptr, 0},
        {"403", "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n", "HTTP/1.1 403 Forbidden", 403},
        {"407", "HTTP/1.0 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n",
         "HTTP/1.0 407 Proxy Authentication Required", 407},
        {"no status code", "SSH-2.0-OpenSSH\r\n\r\n", "SSH-2.0-OpenSSH", -1},
        {"closed at once", "", "Connection Closed Gracefully.", 0},
        {"endless headers", manyHeaders, "Max header lines exceeded.", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer proxy([&](ScriptedConnection& connection) {
            connection.readHead();
            if (c.answer.isEmpty()) return;
            connection.send(c.answer + "first bytes of the target\r\n");
            connection.waitForClientClose(5000);
        });
        HttpConnectTunnel tunnel;
        tunnel.Host = QStringLiteral("127.0.0.1");
        tunnel.Port = proxy.port();
        TIdIOHandlerSocket io;
        io.Host = QStringLiteral("127.0.0.1");
        io.Port = 21;
        io.ReadTimeout = 2000;
        io.SetTransparentProxy(&tunnel);
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

} // namespace
} // namespace hl
