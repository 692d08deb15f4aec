#include "protocols/httpexceptions.h"
#include "protocols/idhttp.h"
#include "protocols/ssliohandlersocketopenssl.h"
#include "support/httpscript.h"
#include "support/nginxserver.h"
#include "support/tcprelay.h"
#include "support/testcertificate.h"
#include "support/tinyproxyserver.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using test::headerValue;

// nginx reports what reached it inside the tunnel.
test::NginxOptions httpsNginx() {
    const test::TestCertificate& certificate = test::testCertificate();
    return {QStringLiteral("add_header X-Connection \"$connection\" always;\n"
                           "add_header X-Host \"$http_host\" always;\n"
                           "add_header X-Proxy-Authorization \"$http_proxy_authorization\" always;\n"),
            certificate.certificateFile, certificate.keyFile};
}

// A client with the download procedure's transport, sending through the HTTP proxy on port.
struct ProxiedClient : TIdHTTP {
    ProxiedClient(quint16 port, const QString& user) {
        auto tls = std::make_shared<TIdSSLIOHandlerSocketOpenSSL>();
        tls->SSLOptions.SetSSLVersions({TIdSSLVersion::sslvSSLv23, TIdSSLVersion::sslvTLSv1,
                                        TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2});
        IOHandler = tls;
        ReadTimeout = 5000;
        ProxyParams.ProxyServer = QStringLiteral("127.0.0.1");
        ProxyParams.ProxyPort = port;
        ProxyParams.ProxyUsername = user;
        ProxyParams.ProxyPassword = QStringLiteral("p");
    }
};

struct Fetch {
    QByteArray body;
    QString connection;
};

Fetch get(TIdHTTP& http, const QString& url) {
    TMemoryStream body;
    http.Get(url, &body);
    return {body.Data(), http.Response.RawHeaders.Value(QStringLiteral("X-Connection"))};
}

TEST(HttpProxyTunnel, TunnelIsReusedForItsDestinationAndItsCredentialsStayWithTheProxy) {
    test::NginxServer nginx(httpsNginx());
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QString url = nginx.put(QStringLiteral("f.txt"), "through the tunnel");
    const QByteArray credentials = "Basic " + QByteArray("u:p").toBase64();
    test::ScriptedServer proxy([&](test::ScriptedConnection& c) {
        const QByteArray head = c.readHead();
        if (headerValue(head, "Proxy-Authorization") != credentials) {
            c.send(test::httpReply("HTTP/1.1 407 Proxy Authentication Required",
                                   "Proxy-Authenticate: Basic realm=\"p\"\r\n", "credentials please"));
            if (c.readHead().isEmpty()) return; // the client asks again on the same connection
        }
        c.send("HTTP/1.1 200 Connection established\r\n\r\n");
        test::relayToLoopback(c.descriptor(), nginx.port());
    });
    {
        ProxiedClient http(proxy.port(), QStringLiteral("u"));

        const Fetch first = get(http, url);
        EXPECT_EQ(first.body, "through the tunnel");
        EXPECT_EQ(http.Response.RawHeaders.Value(QStringLiteral("X-Proxy-Authorization")), QString());
        EXPECT_EQ(http.Response.RawHeaders.Value(QStringLiteral("X-Host")),
                  QStringLiteral("127.0.0.1:%1").arg(nginx.port()));
        EXPECT_EQ(get(http, url).connection, first.connection);
        QString otherName = url;
        otherName.replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
        EXPECT_NE(get(http, otherName).connection, first.connection);
    }
    proxy.waitIdle();
    ASSERT_EQ(proxy.connectionCount(), 2);
    EXPECT_TRUE(proxy.received().at(0).startsWith(
        QStringLiteral("CONNECT 127.0.0.1:%1 ").arg(nginx.port()).toLatin1()));
    // The second tunnel asks with the credentials at once.
    EXPECT_EQ(headerValue(proxy.received().at(1), "Proxy-Authorization"), credentials);
}

TEST(HttpProxyTinyproxy, HttpAndHttpsReachNginxWithAndWithoutProxyCredentials) {
    test::NginxServer plain;
    test::NginxServer tls(httpsNginx());
    ASSERT_TRUE(plain.started()) << plain.log().toStdString();
    ASSERT_TRUE(tls.started()) << tls.log().toStdString();
    const QString urls[] = {plain.put(QStringLiteral("p.txt"), "plain via tinyproxy"),
                            tls.put(QStringLiteral("t.txt"), "tls via tinyproxy")};
    for (const QString& user : {QString(), QStringLiteral("u")}) {
        test::TinyproxyServer proxy({user, QStringLiteral("p")});
        ASSERT_TRUE(proxy.started()) << proxy.log().toStdString();
        for (const QString& url : urls) {
            SCOPED_TRACE((user + QLatin1Char(' ') + url).toStdString());
            ProxiedClient http(proxy.port(), user);
            http.Head(url);
            EXPECT_EQ(http.Response.ResponseCode, 200);
            EXPECT_EQ(get(http, url).body,
                      url.startsWith(QLatin1String("https")) ? "tls via tinyproxy" : "plain via tinyproxy");
        }
    }
    // Without credentials, a proxy that wants them refuses with its own status line.
    test::TinyproxyServer guarded({QStringLiteral("u"), QStringLiteral("p")});
    ASSERT_TRUE(guarded.started()) << guarded.log().toStdString();
    for (const QString& url : urls) {
        ProxiedClient http(guarded.port(), QString());
        try {
            http.Get(url, nullptr);
            ADD_FAILURE() << "no exception for " << url.toStdString();
        } catch (const EIdHTTPProtocolException& e) {
            EXPECT_EQ(e.message(), QStringLiteral("HTTP/1.0 407 Proxy Authentication Required"));
        }
    }
}

} // namespace
} // namespace hl
