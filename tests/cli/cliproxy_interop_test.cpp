// harvestline-cli through Debian's proxies to Debian's nginx: tinyproxy as an HTTP proxy (plain
// requests and CONNECT tunnels for https), microsocks as a SOCKS 5 server, each with and without
// credentials; and nginx's own Basic authentication answered from the URL's user-info.
#include "support/cliprocess.h"
#include "support/microsocksserver.h"
#include "support/nginxserver.h"
#include "support/tempdir.h"
#include "support/testcertificate.h"
#include "support/tinyproxyserver.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace hl {
namespace {

QByteArray lines(const QStringList& texts) {
    return (texts.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

class CliProxyTest : public ::testing::Test {
protected:
    CliProxyTest() : tls(tlsOptions()) {}

    static test::NginxOptions tlsOptions() {
        const test::TestCertificate& certificate = test::testCertificate();
        return {{}, certificate.certificateFile, certificate.keyFile};
    }

    // Downloads urls through the one proxy line with type into a fresh folder; the result and
    // that folder.
    test::CliResult download(const QString& proxyLine, const char* type, const QStringList& urls) {
        work.write(QStringLiteral("proxies.txt"), lines({proxyLine}));
        output = std::make_unique<test::TempDir>();
        return test::runCli({QStringLiteral("-d"), output->path(), QStringLiteral("--proxy-list"),
                             work.file(QStringLiteral("proxies.txt")), QStringLiteral("--proxy-type"),
                             QLatin1String(type), QStringLiteral("-i"), QStringLiteral("-")},
                            {}, lines(urls));
    }

    test::NginxServer plain;
    test::NginxServer tls;
    test::TempDir work;
    std::unique_ptr<test::TempDir> output;
};

TEST_F(CliProxyTest, HttpAndHttpsThroughTinyproxyWithAndWithoutCredentials) {
    ASSERT_TRUE(plain.started()) << plain.log().toStdString();
    ASSERT_TRUE(tls.started()) << tls.log().toStdString();
    const QStringList urls = {plain.put(QStringLiteral("p.bin"), QByteArray(100000, 'p')),
                              tls.put(QStringLiteral("t.bin"), QByteArray(100000, 't'))};
    const struct {
        test::TinyproxyOptions options;
        QString credentials; // appended to the proxy line
    } cases[] = {{{}, {}}, {{QStringLiteral("u"), QStringLiteral("pw")}, QStringLiteral(":u:pw")}};
    for (const auto& c : cases) {
        test::TinyproxyServer proxy(c.options);
        ASSERT_TRUE(proxy.started()) << proxy.log().toStdString();
        const test::CliResult result =
            download(QStringLiteral("127.0.0.1:%1").arg(proxy.port()) + c.credentials, "http", urls);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(output->read(QStringLiteral("p.bin")), QByteArray(100000, 'p'));
        EXPECT_EQ(output->read(QStringLiteral("t.bin")), QByteArray(100000, 't'));
    }
    // A proxy that wants credentials the line does not carry: every URL fails, naming the line.
    test::TinyproxyServer guarded({QStringLiteral("u"), QStringLiteral("pw")});
    ASSERT_TRUE(guarded.started()) << guarded.log().toStdString();
    const QString line = QStringLiteral("127.0.0.1:%1").arg(guarded.port());
    const test::CliResult refused = download(line, "http", urls);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, lines({QStringLiteral("(ERROR) HTTP/1.0 407 Proxy Authentication Required URL: ") +
                                      urls[0] + QStringLiteral(" Proxy: ") + line,
                                  QStringLiteral("(ERROR) HTTP/1.0 407 Proxy Authentication Required URL: ") +
                                      urls[1] + QStringLiteral(" Proxy: ") + line}));
}

TEST_F(CliProxyTest, HttpAndHttpsThroughMicrosocksWithAndWithoutCredentials) {
    ASSERT_TRUE(plain.started()) << plain.log().toStdString();
    ASSERT_TRUE(tls.started()) << tls.log().toStdString();
    const QStringList urls = {plain.put(QStringLiteral("p.bin"), "plain via socks"),
                              tls.put(QStringLiteral("t.bin"), "tls via socks")};
    for (const QString& user : {QString(), QStringLiteral("u")}) {
        test::MicrosocksServer socks(user, QStringLiteral("pw"));
        ASSERT_TRUE(socks.started()) << socks.log().toStdString();
        const QString line = QStringLiteral("127.0.0.1:%1").arg(socks.port()) +
                             (user.isEmpty() ? QString() : QStringLiteral(":u:pw"));
        const test::CliResult result = download(line, "socks5", urls);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(output->read(QStringLiteral("p.bin")), "plain via socks");
        EXPECT_EQ(output->read(QStringLiteral("t.bin")), "tls via socks");
        if (user.isEmpty()) continue;
        // The same server without the line's credentials.
        const QString bare = QStringLiteral("127.0.0.1:%1").arg(socks.port());
        const test::CliResult refused = download(bare, "socks5", {urls[0]});
        EXPECT_EQ(refused.err, lines({QStringLiteral("(ERROR) Invalid socks authentication method. URL: ") +
                                      urls[0] + QStringLiteral(" Proxy: ") + bare}));
    }
}

TEST_F(CliProxyTest, UserInfoAnswersNginxBasicAuthentication) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("passwd"), QStringLiteral("-apr1"), QStringLiteral("p w")});
    ASSERT_TRUE(openssl.waitForFinished(10000));
    work.write(QStringLiteral("htpasswd"), "u:" + openssl.readAllStandardOutput());
    test::NginxOptions options;
    options.serverDirectives =
        QStringLiteral("location /private/ { auth_basic \"files\"; auth_basic_user_file %1; }")
            .arg(work.file(QStringLiteral("htpasswd")));
    test::NginxServer guarded(options);
    ASSERT_TRUE(guarded.started()) << guarded.log().toStdString();
    const QString url = guarded.put(QStringLiteral("private/s.bin"), "behind basic");
    QString withUser = url;
    withUser.replace(QStringLiteral("://"), QStringLiteral("://u:p%20w@"));
    QString wrongPassword = url;
    wrongPassword.replace(QStringLiteral("://"), QStringLiteral("://u:nope@"));
    for (const bool serverName : {true, false}) {
        test::TempDir folder;
        QStringList arguments = {QStringLiteral("-d"), folder.path(), url, wrongPassword, withUser};
        if (!serverName) arguments.prepend(QStringLiteral("--no-server-name"));
        const test::CliResult result = test::runCli(arguments);
        EXPECT_EQ(result.out, lines({QStringLiteral("(DOWNLOADED) URL: ") + withUser}));
        EXPECT_EQ(result.err,
                  lines({QStringLiteral("(ERROR) HTTP/1.1 401 Unauthorized URL: ") + url,
                         QStringLiteral("(ERROR) HTTP/1.1 401 Unauthorized URL: ") + wrongPassword}));
        EXPECT_EQ(folder.read(QStringLiteral("s.bin")), "behind basic");
    }
}

} // namespace
} // namespace hl
