#include "protocols/idhttp.h"
#include "protocols/openssllibrary.h"
#include "protocols/ssliohandlersocketopenssl.h"
#include "support/nginxserver.h"
#include "support/scriptedserver.h"
#include "support/testcertificate.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>

namespace hl {
namespace {

// nginx answers with the name the handshake carried and the number of the connection it used.
const QString kEchoDirectives = QStringLiteral("add_header X-SNI \"$ssl_server_name\" always;\n"
                                               "add_header X-Connection \"$connection\" always;\n");

test::NginxOptions httpsNginx(const QString& extraDirectives = {}) {
    const test::TestCertificate& certificate = test::testCertificate();
    return {kEchoDirectives + extraDirectives, certificate.certificateFile, certificate.keyFile};
}

// A client set up as the download procedure sets it up: its own TLS transport, for http too.
class HttpsDownload : public testing::Test {
protected:
    HttpsDownload() {
        auto tls = std::make_shared<TIdSSLIOHandlerSocketOpenSSL>();
        tls->SSLOptions.SetSSLVersions({TIdSSLVersion::sslvSSLv23, TIdSSLVersion::sslvTLSv1,
                                        TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2});
        http.IOHandler = tls;
        http.ConnectTimeout = 5000;
        http.ReadTimeout = 5000;
    }

    QByteArray get(const QString& url) {
        TMemoryStream body;
        http.Get(url, &body);
        return body.Data();
    }
    QString replyHeader(const char* name) const {
        return http.Response.RawHeaders.Value(QString::fromLatin1(name));
    }

    TIdHTTP http;
};

TEST_F(HttpsDownload, KeepAliveCarriesTheNextDownloadOnTheSameConnection) {
    test::NginxServer nginx(httpsNginx());
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QString first = nginx.put(QStringLiteral("a.bin"), QByteArray(16384, 'a'));
    const QString second = nginx.put(QStringLiteral("b.bin"), QByteArray(100000, 'b'));
    EXPECT_EQ(get(first), QByteArray(16384, 'a'));
    const QString connection = replyHeader("X-Connection");
    EXPECT_EQ(get(second), QByteArray(100000, 'b'));
    EXPECT_EQ(replyHeader("X-Connection"), connection);
    EXPECT_TRUE(http.Connected());
}

TEST_F(HttpsDownload, ServerThatClosesGetsANewConnectionForEachDownload) {
    test::NginxServer nginx(httpsNginx(QStringLiteral("keepalive_timeout 0;")));
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QString url = nginx.put(QStringLiteral("a.bin"), QByteArray(16384, 'a'));
    EXPECT_EQ(get(url), QByteArray(16384, 'a'));
    EXPECT_EQ(http.Response.Connection, QStringLiteral("close"));
    const QString connection = replyHeader("X-Connection");
    EXPECT_EQ(get(url), QByteArray(16384, 'a'));
    EXPECT_NE(replyHeader("X-Connection"), connection);
}

TEST_F(HttpsDownload, URLHostIsTheServerNameEvenForAnAddress) {
    test::NginxServer nginx(httpsNginx());
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QString url = nginx.put(QStringLiteral("f.txt"), "x");
    ASSERT_TRUE(url.startsWith(QStringLiteral("https://127.0.0.1:")));
    EXPECT_EQ(get(url), "x");
    EXPECT_EQ(replyHeader("X-SNI"), QStringLiteral("127.0.0.1"));
    QString named = url;
    named.replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
    EXPECT_EQ(get(named), "x");
    EXPECT_EQ(replyHeader("X-SNI"), QStringLiteral("localhost"));
}

// The library is loaded once per process, so its absence is tried in a fresh process of its own.
TEST(HttpsDownloadDeathTest, MissingLibraryFailsHttpsAndLeavesHttpWorking) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::setenv("HARVESTLINE_LIBSSL", "/nonexistent/libssl.so.3", 1);
            test::ScriptedServer server([](test::ScriptedConnection& c) {
                c.readHead();
                c.send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nplain");
            });
            TIdHTTP http;
            http.IOHandler = std::make_shared<TIdSSLIOHandlerSocketOpenSSL>();
            http.ReadTimeout = 2000;
            TMemoryStream body;
            try {
                http.Get(QStringLiteral("https://127.0.0.1:%1/f").arg(server.port()), &body);
            } catch (const EIdException& e) {
                std::cerr << "https: " << e.what() << "\n";
            }
            std::cerr << "connections: " << server.connectionCount() << "\n";
            for (const QString& failure : OpenSSLLibrary::processFailures())
                std::cerr << failure.toStdString() << "\n";
            http.Get(server.url(QStringLiteral("/f")), &body);
            std::cerr << "http: " << body.Data().constData() << "\n";
            std::exit(0);
        },
        testing::ExitedWithCode(0),
        "https: Could not load SSL library\\.\n"
        "connections: 0\n" // the context comes before the connection: nothing was sent
        "Failed to load /nonexistent/libssl\\.so\\.3 \\(.*\\)\\.\n"
        "http: plain\n");
}

} // namespace
} // namespace hl
