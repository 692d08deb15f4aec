#include "platform/exception.h"
#include "protocols/idsocks.h"
#include "protocols/iohandlersocket.h"
#include "support/loopbacksocket.h"
#include "support/microsocksserver.h"
#include "support/nginxserver.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

const QByteArray kContent = QByteArray("through the tunnel\n").repeated(5000);

TIdSocksInfo socks5(const test::MicrosocksServer& server, const QString& user = {},
                    const QString& password = {}) {
    TIdSocksInfo socks;
    socks.Version = TSocksVersion::svSocks5;
    socks.Host = QStringLiteral("127.0.0.1");
    socks.Port = server.port();
    socks.Username = user;
    socks.Password = password;
    return socks;
}

// Fetches path from 127.0.0.1:port through the tunnel with a hand-written request; returns the
// status line and the body, or the message of the error that stopped it.
QByteArray fetchThrough(const TIdSocksInfo& socks, quint16 port, const QString& path) {
    TIdIOHandlerSocket io;
    io.Host = QStringLiteral("127.0.0.1");
    io.Port = port;
    io.ConnectTimeout = 5000;
    io.ReadTimeout = 5000;
    io.SetTransparentProxy(&socks);
    try {
        io.Open();
        io.Write("GET " + path.toLatin1() + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
        QByteArray reply;
        char buffer[16384];
        while (qint64 n = io.ReadSome(buffer, sizeof buffer))
            reply.append(buffer, n);
        const qsizetype headEnd = reply.indexOf("\r\n\r\n");
        return reply.left(reply.indexOf("\r\n")) + '\n' +
               (headEnd < 0 ? QByteArray() : reply.mid(headEnd + 4));
    } catch (const Exception& e) {
        return e.message().toUtf8();
    }
}

TEST(SocksInterop, Socks5WithoutAuthenticationReachesNginx) {
    test::NginxServer nginx;
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    nginx.put(QStringLiteral("file.bin"), kContent);
    test::MicrosocksServer microsocks;
    ASSERT_TRUE(microsocks.started()) << microsocks.log().toStdString();

    EXPECT_EQ(fetchThrough(socks5(microsocks), nginx.port(), QStringLiteral("/file.bin")),
              "HTTP/1.1 200 OK\n" + kContent);
    EXPECT_EQ(fetchThrough(socks5(microsocks), nginx.port(), QStringLiteral("/missing")).left(23),
              "HTTP/1.1 404 Not Found\n");
}

TEST(SocksInterop, Socks5WithUserAndPasswordReachesNginxOnlyWithTheRightCredentials) {
    test::NginxServer nginx;
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    nginx.put(QStringLiteral("file.bin"), kContent);
    test::MicrosocksServer microsocks(QStringLiteral("alice"), QStringLiteral("s3cret"));
    ASSERT_TRUE(microsocks.started()) << microsocks.log().toStdString();

    const std::pair<TIdSocksInfo, QByteArray> cases[] = {
        {socks5(microsocks, QStringLiteral("alice"), QStringLiteral("s3cret")),
         "HTTP/1.1 200 OK\n" + kContent},
        {socks5(microsocks, QStringLiteral("alice"), QStringLiteral("wrong")),
         "Authentication error to socks server."},
        {socks5(microsocks), "Invalid socks authentication method."},
    };
    for (const auto& [socks, expected] : cases) {
        SCOPED_TRACE(socks.Password.toStdString());
        EXPECT_EQ(fetchThrough(socks, nginx.port(), QStringLiteral("/file.bin")), expected);
    }
}

TEST(SocksInterop, Socks5ServerThatCannotReachTheTargetSaysWhy) {
    test::MicrosocksServer microsocks;
    ASSERT_TRUE(microsocks.started()) << microsocks.log().toStdString();
    const test::ClosedPort closed;
    EXPECT_EQ(fetchThrough(socks5(microsocks), closed.port(), QStringLiteral("/")), "Connection refused.");
}

} // namespace
} // namespace hl
