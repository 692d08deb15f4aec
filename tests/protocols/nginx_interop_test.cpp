#include "protocols/iohandlersocket.h"
#include "support/nginxserver.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

// The launcher itself: nginx comes up on loopback and answers a hand-written request.
TEST(NginxLauncher, ServesAFileOnLoopback) {
    test::NginxServer nginx;
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    nginx.put(QStringLiteral("hello.txt"), "hello from nginx");
    TIdIOHandlerSocket io;
    io.Host = QStringLiteral("127.0.0.1");
    io.Port = nginx.port();
    io.ReadTimeout = 5000;
    io.Open();
    io.Write("GET /hello.txt HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(io.ReadLn(), "HTTP/1.1 200 OK");
    QByteArray rest;
    char buffer[4096];
    while (qint64 n = io.ReadSome(buffer, sizeof buffer))
        rest.append(buffer, n);
    EXPECT_TRUE(rest.endsWith("\r\n\r\nhello from nginx"));
}

} // namespace
} // namespace hl
