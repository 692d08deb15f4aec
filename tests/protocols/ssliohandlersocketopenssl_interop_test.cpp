#include "protocols/idsocks.h"
#include "protocols/socketerror.h"
#include "protocols/sslexceptions.h"
#include "protocols/ssliohandlersocketopenssl.h"
#include "support/microsocksserver.h"
#include "support/nginxserver.h"
#include "support/opensslserver.h"
#include "support/scriptedserver.h"
#include "support/tcprelay.h"
#include "support/testcertificate.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace hl {
namespace {

const TIdSSLVersions kProgramVersions{TIdSSLVersion::sslvSSLv23, TIdSSLVersion::sslvTLSv1,
                                      TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2};

// A transport set up as the download procedure sets it up for an https URL.
void prepareHttps(TIdSSLIOHandlerSocketOpenSSL& io, quint16 port, const QString& url) {
    io.SSLOptions.SetSSLVersions(kProgramVersions);
    io.Host = QStringLiteral("127.0.0.1");
    io.Port = port;
    io.ReadTimeout = 5000;
    io.URIToCheck = url;
    io.SetPassThrough(false);
}

// One reply: the status line, the headers (names lower-cased) and a Content-Length body.
struct Reply {
    QByteArray statusLine;
    QMap<QByteArray, QByteArray> headers;
    QByteArray body;
};

Reply readReply(TIdIOHandlerSocket& io) {
    Reply reply;
    reply.statusLine = io.ReadLn();
    for (QByteArray line = io.ReadLn(); !line.isEmpty(); line = io.ReadLn()) {
        const qsizetype colon = line.indexOf(':');
        reply.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    reply.body = io.ReadExact(reply.headers.value("content-length").toInt());
    return reply;
}

QByteArray readToEnd(TIdIOHandlerSocket& io) {
    QByteArray all;
    char buffer[8192];
    while (const qint64 n = io.ReadSome(buffer, sizeof buffer))
        all.append(buffer, n);
    return all;
}

test::NginxOptions httpsNginx(const QString& directives = {}) {
    const test::TestCertificate& certificate = test::testCertificate();
    return {directives, certificate.certificateFile, certificate.keyFile};
}

struct VersionCase {
    const char* name;
    QStringList serverArguments;
    // How the server's status page names the negotiated version.
    const char* negotiated;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.name;
}

class SSLServerVersions : public testing::TestWithParam<VersionCase> {};

TEST_P(SSLServerVersions, HandshakeSucceedsWithAnAllowedVersion) {
    test::OpenSSLServer server(GetParam().serverArguments);
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    TIdSSLIOHandlerSocketOpenSSL io;
    prepareHttps(io, server.port(), QStringLiteral("https://localhost/"));
    io.Open();
    io.Write("GET / HTTP/1.0\r\n\r\n");
    EXPECT_EQ(io.ReadLn(), "HTTP/1.0 200 ok");
    const QByteArray page = readToEnd(io);
    EXPECT_TRUE(page.contains(QByteArray("Protocol  : ") + GetParam().negotiated + "\n"))
        << page.toStdString();
}

// TLS 1.0 and 1.1 need the lowered security level on the server too with OpenSSL 3.
const QStringList kLowSecurity{QStringLiteral("-cipher"), QStringLiteral("DEFAULT@SECLEVEL=0")};

INSTANTIATE_TEST_SUITE_P(
    Allowed, SSLServerVersions,
    testing::Values(VersionCase{"TLS1_0", QStringList{QStringLiteral("-tls1")} + kLowSecurity, "TLSv1"},
                    VersionCase{"TLS1_1", QStringList{QStringLiteral("-tls1_1")} + kLowSecurity, "TLSv1.1"},
                    VersionCase{"TLS1_2", {QStringLiteral("-tls1_2")}, "TLSv1.2"},
                    // A server that allows everything gets the newest version this client offers.
                    VersionCase{"AnyVersion", kLowSecurity, "TLSv1.2"}),
    [](const auto& info) { return std::string(info.param.name); });

// Stands in for the old SSL 3-only server, which Debian's openssl cannot be made into: a server
// whose only version this client does not offer answers with the protocol-version alert.
TEST(SSLServerVersions, TLS13OnlyServerIsRefusedWithTheLibraryText) {
    test::OpenSSLServer server({QStringLiteral("-tls1_3")});
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    TIdSSLIOHandlerSocketOpenSSL io;
    prepareHttps(io, server.port(), QStringLiteral("https://localhost/"));
    try {
        io.Open();
        FAIL() << "handshake succeeded";
    } catch (const EIdOSSLUnderlyingCryptoError& e) {
        EXPECT_EQ(
            e.message(),
            QStringLiteral(
                "Error connecting with SSL.\r\nerror:0A00042E:SSL routines::tlsv1 alert protocol version"))
            << e.what();
    }
    EXPECT_FALSE(io.Connected());
}

TEST(HttpsNginx, KeepsTheConnectionForSeveralRequestsAndSendsTheURLHostAsServerName) {
    test::NginxServer nginx(httpsNginx(QStringLiteral("add_header X-SNI \"$ssl_server_name\" always;")));
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    nginx.put(QStringLiteral("a.bin"), QByteArray(16384, 'a'));
    nginx.put(QStringLiteral("b.txt"), "second file");
    TIdSSLIOHandlerSocketOpenSSL io;
    prepareHttps(io, nginx.port(), QStringLiteral("https://localhost:%1/a.bin").arg(nginx.port()));
    io.Open();
    io.Write("GET /a.bin HTTP/1.1\r\nHost: localhost\r\n\r\n");
    const Reply first = readReply(io);
    EXPECT_EQ(first.statusLine, "HTTP/1.1 200 OK");
    EXPECT_EQ(first.body, QByteArray(16384, 'a'));
    EXPECT_EQ(first.headers.value("x-sni"), "localhost");
    // The idle connection is still usable: nothing is pending and the peer has not closed.
    EXPECT_FALSE(io.WaitForInput(0));
    EXPECT_TRUE(io.DiscardInputAndCheck());
    io.Write("GET /b.txt HTTP/1.1\r\nHost: localhost\r\n\r\n");
    const Reply second = readReply(io);
    EXPECT_EQ(second.body, "second file");
}

TEST(HttpsNginx, AddressLiteralIsSentAsServerName) {
    test::NginxServer nginx(httpsNginx(QStringLiteral("add_header X-SNI \"$ssl_server_name\" always;")));
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QString url = nginx.put(QStringLiteral("f.txt"), "x");
    TIdSSLIOHandlerSocketOpenSSL io;
    prepareHttps(io, nginx.port(), url);
    io.Open();
    io.Write("GET /f.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(readReply(io).headers.value("x-sni"), "127.0.0.1");
}

// A body that ends with the connection: the close notify is the end of the data, and a large
// body arrives intact through many records and buffer refills.
TEST(HttpsNginx, CloseNotifyEndsABodyReadToTheEnd) {
    test::NginxServer nginx(httpsNginx());
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    QByteArray content(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>((i * 7919) >> 5);
    const QString url = nginx.put(QStringLiteral("big.bin"), content);
    TIdSSLIOHandlerSocketOpenSSL io;
    prepareHttps(io, nginx.port(), url);
    io.Open();
    io.Write("GET /big.bin HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(io.ReadLn(), "HTTP/1.1 200 OK");
    while (!io.ReadLn().isEmpty()) {
    }
    const QByteArray body = readToEnd(io);
    EXPECT_EQ(body.size(), content.size());
    EXPECT_TRUE(body == content);
    EXPECT_FALSE(io.Connected());
}

// Writing to a peer that has gone is an error for this connection, never a signal that ends the
// whole program (the library writes with write(), which raises SIGPIPE). nginx closes a timed-out
// idle connection without a close notify, and ends a "Connection: close" reply with one.
TEST(HttpsNginx, WritingAfterThePeerClosedIsASocketError) {
    test::NginxServer nginx(httpsNginx(QStringLiteral("keepalive_timeout 100ms;")));
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QString url = nginx.put(QStringLiteral("f.txt"), "x");
    const QByteArray chunk(64 * 1024, 'w');
    const auto writeUntilError = [&](TIdIOHandlerSocket& io) {
        try {
            for (int i = 0; i < 1000; ++i)
                io.Write(chunk);
        } catch (const EIdSocketError& e) {
            return e.LastError;
        }
        return 0;
    };

    TIdSSLIOHandlerSocketOpenSSL idle;
    prepareHttps(idle, nginx.port(), url);
    idle.Open();
    idle.Write("GET /f.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(readReply(idle).body, "x");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(writeUntilError(idle), WSAECONNRESET);

    TIdSSLIOHandlerSocketOpenSSL closed;
    prepareHttps(closed, nginx.port(), url);
    closed.Open();
    closed.Write("GET /f.txt HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(readToEnd(closed).endsWith("\r\n\r\nx"));
    EXPECT_EQ(writeUntilError(closed), WSAESHUTDOWN);
}

// The CONNECT tunnel's order of events: the proxy leg in pass-through, then the handshake on the
// open connection once the proxy agreed.
TEST(HttpsNginx, LeavingPassThroughOnAnOpenConnectionRunsTheHandshake) {
    test::NginxServer nginx(httpsNginx(QStringLiteral("add_header X-SNI \"$ssl_server_name\" always;")));
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    nginx.put(QStringLiteral("t.txt"), "through the tunnel");
    test::ScriptedServer proxy([&](test::ScriptedConnection& c) {
        if (c.readHead().isEmpty()) return;
        c.send("HTTP/1.1 200 Connection established\r\n\r\n");
        test::relayToLoopback(c.descriptor(), nginx.port());
    });
    TIdSSLIOHandlerSocketOpenSSL io;
    io.SSLOptions.SetSSLVersions(kProgramVersions);
    io.Host = QStringLiteral("127.0.0.1");
    io.Port = proxy.port();
    io.ReadTimeout = 5000;
    io.URIToCheck = QStringLiteral("https://files.example/t.txt");
    io.Open();
    io.Write("CONNECT files.example:443 HTTP/1.1\r\nHost: files.example:443\r\n\r\n");
    EXPECT_EQ(io.ReadLn(), "HTTP/1.1 200 Connection established");
    EXPECT_EQ(io.ReadLn(), "");
    io.SetPassThrough(false);
    io.Write("GET /t.txt HTTP/1.1\r\nHost: files.example\r\n\r\n");
    const Reply reply = readReply(io);
    EXPECT_EQ(reply.body, "through the tunnel");
    EXPECT_EQ(reply.headers.value("x-sni"), "files.example");
    io.Close();
    proxy.waitIdle();
    EXPECT_TRUE(proxy.received().at(0).startsWith("CONNECT files.example:443 HTTP/1.1\r\n"));
}

// The SOCKS handshake runs unencrypted, the TLS handshake follows on the same connection, and the
// name sent is the URL's host, not the SOCKS server's.
TEST(HttpsNginx, TLSRunsInsideASocks5Tunnel) {
    test::NginxServer nginx(httpsNginx(QStringLiteral("add_header X-SNI \"$ssl_server_name\" always;")));
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    test::MicrosocksServer socks;
    ASSERT_TRUE(socks.started()) << socks.log().toStdString();
    nginx.put(QStringLiteral("s.txt"), "via socks");
    TIdSocksInfo tunnel;
    tunnel.Version = TSocksVersion::svSocks5;
    tunnel.Host = QStringLiteral("127.0.0.1");
    tunnel.Port = socks.port();
    TIdSSLIOHandlerSocketOpenSSL io;
    io.SetTransparentProxy(&tunnel);
    prepareHttps(io, nginx.port(), QStringLiteral("https://files.example/s.txt"));
    io.Open();
    io.Write("GET /s.txt HTTP/1.1\r\nHost: files.example\r\n\r\n");
    const Reply reply = readReply(io);
    EXPECT_EQ(reply.body, "via socks");
    EXPECT_EQ(reply.headers.value("x-sni"), "files.example");
}

} // namespace
} // namespace hl
