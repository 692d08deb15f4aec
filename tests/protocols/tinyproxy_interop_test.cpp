#include "protocols/iohandlersocket.h"
#include "support/nginxserver.h"
#include "support/tinyproxyserver.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

// The launcher itself: tinyproxy comes up on loopback, forwards an absolute-URI request to nginx,
// and with Basic authentication configured asks for credentials first.
TEST(TinyproxyLauncher, ForwardsAnAbsoluteUriRequestToNginx) {
    test::NginxServer nginx;
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QByteArray url = nginx.put(QStringLiteral("hello.txt"), "hello through the proxy").toLatin1();
    struct Case {
        test::TinyproxyOptions options;
        QByteArray credentials; // base64 of user:password, or empty
        QByteArray statusLine;
    };
    const Case cases[] = {
        {{}, {}, "HTTP/1.1 200 OK"},
        {{QStringLiteral("u"), QStringLiteral("p")}, {}, "HTTP/1.0 407 Proxy Authentication Required"},
        {{QStringLiteral("u"), QStringLiteral("p")}, QByteArray("u:p").toBase64(), "HTTP/1.1 200 OK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.basicAuthUser.toStdString() + "/" + c.credentials.toStdString());
        test::TinyproxyServer proxy(c.options);
        ASSERT_TRUE(proxy.started()) << proxy.log().toStdString();
        TIdIOHandlerSocket io;
        io.Host = QStringLiteral("127.0.0.1");
        io.Port = proxy.port();
        io.ReadTimeout = 5000;
        io.Open();
        QByteArray request = "GET " + url +
                             " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(nginx.port()) +
                             "\r\nConnection: close\r\n";
        if (!c.credentials.isEmpty()) request += "Proxy-Authorization: Basic " + c.credentials + "\r\n";
        io.Write(request + "\r\n");
        EXPECT_EQ(io.ReadLn(), c.statusLine);
        QByteArray rest;
        char buffer[4096];
        while (qint64 n = io.ReadSome(buffer, sizeof buffer))
            rest.append(buffer, n);
        if (c.statusLine.contains("200")) {
            EXPECT_TRUE(rest.endsWith("\r\n\r\nhello through the proxy"));
        }
    }
}

} // namespace
} // namespace hl
