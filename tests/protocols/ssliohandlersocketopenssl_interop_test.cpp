#include "protocols/sslexceptions.h"
#include "protocols/ssliohandlersocketopenssl.h"
#include "support/nginxserver.h"
#include "support/opensslserver.h"
#include "support/scriptedserver.h"
#include "support/testcertificate.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

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
};

class SSLServerVersions : public testing::TestWithParam<VersionCase> {};

// TLS 1.0 needs the lowered security level on both ends with OpenSSL 3.
TEST_P(SSLServerVersions, HandshakeSucceedsWithAnAllowedVersion) {
    test::OpenSSLServer server(GetParam().serverArguments);
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    TIdSSLIOHandlerSocketOpenSSL io;
    prepareHttps(io, server.port(), QStringLiteral("https://localhost/"));
    io.Open();
    io.Write("GET / HTTP/1.0\r\n\r\n");
    EXPECT_EQ(io.ReadLn(), "HTTP/1.0 200 ok");
    const QByteArray page = readToEnd(io);
    EXPECT_TRUE(page.contains("</HTML>")) << page.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Allowed, SSLServerVersions,
                         testing::Values(VersionCase{"TLS1_0",
                                                     {QStringLiteral("-tls1"), QStringLiteral("-cipher"),
                                                      QStringLiteral("DEFAULT@SECLEVEL=0")}},
                                         VersionCase{"TLS1_1",
                                                     {QStringLiteral("-tls1_1"), QStringLiteral("-cipher"),
                                                      QStringLiteral("DEFAULT@SECLEVEL=0")}},
                                         VersionCase{"TLS1_2", {QStringLiteral("-tls1_2")}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SSLServerVersions, TLS13OnlyServerIsRefusedWithTheLibraryText) {
    test::OpenSSLServer server({QStringLiteral("-tls1_3")});
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    TIdSSLIOHandlerSocketOpenSSL io;
    prepareHttps(io, server.port(), QStringLiteral("https://localhost/"));
    try {
        io.Open();
        FAIL() << "handshake succeeded";
    } catch (const EIdOSSLUnderlyingCryptoError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Error connecting with SSL.\r\nerror:")))
            << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("protocol version"))) << e.what();
    }
    EXPECT_FALSE(io.Connected());
}

} // namespace
} // namespace hl
