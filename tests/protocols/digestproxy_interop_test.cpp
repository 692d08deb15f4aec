// An HTTP proxy that accepts Digest credentials alone carries every scheme: http URLs as proxied
// requests, https URLs and both FTP connections (control and data) through CONNECT tunnels.
#include "platform/streams.h"
#include "protocols/httpconnecttunnel.h"
#include "protocols/idftp.h"
#include "protocols/idhttp.h"
#include "protocols/ssliohandlersocketopenssl.h"
#include "support/anonymousftp.h"
#include "support/digestserver.h"
#include "support/ftpserver.h"
#include "support/httpscript.h"
#include "support/nginxserver.h"
#include "support/qtprinters.h"
#include "support/tcprelay.h"
#include "support/testcertificate.h"

#include <QMutex>
#include <gtest/gtest.h>

namespace hl {
namespace {

const QByteArray kOpened = "HTTP/1.1 200 Connection established\r\n\r\n";

// Serves http URLs itself and relays an agreed CONNECT to the loopback port it names; whatever
// arrives without valid Digest credentials gets a 407 that offers Digest alone.
class DigestOnlyProxy {
public:
    DigestOnlyProxy()
        : digest_(
              "u", "p", [](const QByteArray& request) { return answerAuthorized(request); },
              test::DigestServer::Role::Proxy),
          server_([this](test::ScriptedConnection& connection) { serve(connection); }) {}

    quint16 port() const { return server_.port(); }
    // The request lines the proxy agreed to.
    QList<QByteArray> granted() {
        QMutexLocker lock(&mutex_);
        return granted_;
    }

private:
    static QByteArray answerAuthorized(const QByteArray& request) {
        if (test::requestLine(request).startsWith("CONNECT ")) return kOpened;
        return test::httpReply("HTTP/1.1 200 OK", "", "plain through the proxy");
    }

    void serve(test::ScriptedConnection& connection) {
        for (;;) {
            const QByteArray head = connection.readHead();
            if (head.isEmpty()) return;
            const QByteArray answer = digest_.respond(head);
            if (!answer.contains(" 407 ")) {
                QMutexLocker lock(&mutex_);
                granted_.append(test::requestLine(head));
            }
            connection.send(answer);
            if (answer == kOpened) {
                const QByteArray authority = test::requestLine(head).split(' ').value(1);
                test::relayToLoopback(connection.descriptor(), authority.split(':').last().toUShort());
                return;
            }
        }
    }

    test::DigestServer digest_;
    QMutex mutex_;
    QList<QByteArray> granted_;
    test::ScriptedServer server_;
};

QByteArray fetchOverHttp(const QString& url, quint16 proxyPort) {
    TIdHTTP http;
    auto tls = std::make_shared<TIdSSLIOHandlerSocketOpenSSL>();
    tls->SSLOptions.SetSSLVersions(
        {TIdSSLVersion::sslvTLSv1, TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2});
    http.IOHandler = tls;
    http.ReadTimeout = 5000;
    http.ProxyParams.ProxyServer = QStringLiteral("127.0.0.1");
    http.ProxyParams.ProxyPort = proxyPort;
    http.ProxyParams.ProxyUsername = QStringLiteral("u");
    http.ProxyParams.ProxyPassword = QStringLiteral("p");
    TMemoryStream body;
    http.Get(url, &body);
    return body.Data();
}

QByteArray fetchOverFtp(const test::FtpServer& server, const QString& path, quint16 proxyPort) {
    HttpConnectTunnel tunnel;
    tunnel.Host = QStringLiteral("127.0.0.1");
    tunnel.Port = proxyPort;
    tunnel.Username = QStringLiteral("u");
    tunnel.Password = QStringLiteral("p");
    TIdFTP ftp;
    test::configureAnonymousFtp(ftp, QStringLiteral("127.0.0.1"), server.port(), 5000);
    ftp.SetTransparentProxy(&tunnel);
    ftp.Connect();
    TMemoryStream out;
    ftp.Get(path, out, false);
    return out.Data();
}

TEST(DigestOnlyProxy, CarriesHttpHttpsAndFtpUrls) {
    const test::TestCertificate& certificate = test::testCertificate();
    test::NginxServer tls({QString(), certificate.certificateFile, certificate.keyFile});
    test::FtpServer ftp;
    ASSERT_TRUE(tls.started()) << tls.log().toStdString();
    ASSERT_TRUE(ftp.started()) << ftp.log().toStdString();
    const QString httpsUrl = tls.put(QStringLiteral("t.txt"), "tls through the proxy");
    ftp.put(QStringLiteral("f.txt"), "ftp through the proxy");

    DigestOnlyProxy proxy;
    EXPECT_EQ(fetchOverHttp(QStringLiteral("http://files.example/p.txt"), proxy.port()),
              "plain through the proxy");
    EXPECT_EQ(fetchOverHttp(httpsUrl, proxy.port()), "tls through the proxy");
    EXPECT_EQ(fetchOverFtp(ftp, QStringLiteral("/f.txt"), proxy.port()), "ftp through the proxy");

    const QList<QByteArray> granted = proxy.granted();
    ASSERT_EQ(granted.size(), 4);
    EXPECT_EQ(granted[0], "GET http://files.example/p.txt HTTP/1.1");
    EXPECT_EQ(granted[1], QStringLiteral("CONNECT 127.0.0.1:%1 HTTP/1.1").arg(tls.port()).toLatin1());
    EXPECT_EQ(granted[2], QStringLiteral("CONNECT 127.0.0.1:%1 HTTP/1.1").arg(ftp.port()).toLatin1());
    EXPECT_TRUE(granted[3].startsWith("CONNECT 127.0.0.1:")) << granted[3].toStdString();
}

} // namespace
} // namespace hl
