// harvestline-cli with URLs and proxy lines that name [::1]: Debian's nginx (plain and TLS), its
// pyftpdlib and microsocks, all listening on the IPv6 loopback address alone.
#include "support/cliprocess.h"
#include "support/ftpserver.h"
#include "support/loopbacksocket.h"
#include "support/microsocksserver.h"
#include "support/nginxserver.h"
#include "support/tempdir.h"
#include "support/testcertificate.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(CliIPv6, BracketedLiteralsWorkInUrlsAndProxyLines) {
    if (!test::ipv6LoopbackAvailable()) GTEST_SKIP() << "no IPv6 on the loopback interface";
    const test::TestCertificate& certificate = test::testCertificate();
    test::NginxServer plain({{}, {}, {}, test::kLoopbackIPv6});
    test::NginxServer tls({{}, certificate.certificateFile, certificate.keyFile, test::kLoopbackIPv6});
    test::FtpServer ftp(0, test::kLoopbackIPv6);
    test::MicrosocksServer socks({}, {}, test::kLoopbackIPv6);
    for (const test::LoopbackServer* server :
         std::initializer_list<const test::LoopbackServer*>{&plain, &tls, &ftp, &socks})
        ASSERT_TRUE(server->started()) << server->log().toStdString();
    const QStringList urls = {plain.put(QStringLiteral("p.bin"), "plain over IPv6"),
                              tls.put(QStringLiteral("t.bin"), "tls over IPv6"),
                              ftp.put(QStringLiteral("f.bin"), "ftp over IPv6")};
    ASSERT_TRUE(urls[0].startsWith(QStringLiteral("http://[::1]:")));

    test::TempDir work;
    work.write(QStringLiteral("proxies.txt"), (QStringLiteral("[::1]:%1\n").arg(socks.port())).toUtf8());
    const QStringList proxied = {QStringLiteral("--proxy-list"), work.file(QStringLiteral("proxies.txt")),
                                 QStringLiteral("--proxy-type"), QStringLiteral("socks5")};
    for (const bool throughProxy : {false, true}) {
        SCOPED_TRACE(throughProxy ? "through a SOCKS 5 server on [::1]" : "direct");
        test::TempDir output;
        const test::CliResult result = test::runCli((throughProxy ? proxied : QStringList()) +
                                                    QStringList{QStringLiteral("-d"), output.path()} + urls);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(output.read(QStringLiteral("p.bin")), "plain over IPv6");
        EXPECT_EQ(output.read(QStringLiteral("t.bin")), "tls over IPv6");
        EXPECT_EQ(output.read(QStringLiteral("f.bin")), "ftp over IPv6");
    }
}

} // namespace
} // namespace hl
