// harvestline-cli with --strict-tls against nginx servers whose certificates come from a test
// authority of their own: the good one downloads, each bad one fails with its reason and leaves
// no file, and without the flag every one of them downloads as before.
#include "support/cliprocess.h"
#include "support/nginxserver.h"
#include "support/tempdir.h"
#include "support/testauthority.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

const QString kNames = QStringLiteral("DNS:localhost,IP:127.0.0.1");

struct Site {
    const char* file;  // the file it serves
    const char* error; // the reason strict verification gives; nullptr: none
    std::unique_ptr<test::NginxServer> server;
    QString url;
};

class CliStrictTls : public ::testing::Test {
protected:
    void SetUp() override {
        add("good.bin", nullptr, authority.issue(QStringLiteral("localhost"), kNames));
        add("expired.bin", "the certificate has expired.",
            authority.issue(QStringLiteral("localhost"), kNames, -1));
        add("selfsigned.bin", "the certificate is self-signed.",
            authority.selfSigned(QStringLiteral("localhost"), kNames));
        add("wrongname.bin", "the certificate is not for the host name \"localhost\".",
            authority.issue(QStringLiteral("files.example"), QStringLiteral("DNS:files.example")));
        ASSERT_TRUE(authority.error().isEmpty()) << authority.error().toStdString();
        for (const Site& site : sites)
            ASSERT_TRUE(site.server->started()) << site.server->log().toStdString();
    }

    void add(const char* file, const char* error, const test::IssuedCertificate& certificate) {
        Site site{file,
                  error,
                  std::make_unique<test::NginxServer>(
                      test::NginxOptions{{}, certificate.certificateFile, certificate.keyFile}),
                  {}};
        site.server->put(QLatin1String(file), QByteArray(5000, file[0]));
        site.url =
            QStringLiteral("https://localhost:%1/%2").arg(site.server->port()).arg(QLatin1String(file));
        sites.push_back(std::move(site));
    }

    test::CliResult download(const test::TempDir& output, const QStringList& flags) const {
        QStringList urls;
        for (const Site& site : sites)
            urls << site.url;
        return test::runCli(QStringList{QStringLiteral("-d"), output.path()} + flags + urls);
    }

    test::TestAuthority authority;
    std::vector<Site> sites;
};

TEST_F(CliStrictTls, RefusesEachBadCertificateWithItsReasonAndKeepsTheGoodOne) {
    const test::TempDir output;
    const test::CliResult result =
        download(output, {QStringLiteral("--strict-tls"), QStringLiteral("--ca-file"), authority.caFile()});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_EQ(result.out, "(DOWNLOADED) URL: " + sites[0].url.toUtf8() + "\n");
    for (const Site& site : sites) {
        if (!site.error) continue;
        const QByteArray line =
            "(ERROR) Error connecting with SSL. Certificate verification failed: " + QByteArray(site.error) +
            " URL: " + site.url.toUtf8() + "\n";
        EXPECT_TRUE(result.err.contains(line)) << line.toStdString() << "not in\n"
                                               << result.err.toStdString();
    }
    EXPECT_EQ(output.entries(), QStringList{QStringLiteral("good.bin")});
}

TEST_F(CliStrictTls, WithoutTheFlagEveryCertificateIsAccepted) {
    for (const QStringList& flags :
         {QStringList{}, QStringList{QStringLiteral("--strict-tls"), QStringLiteral("--no-strict-tls")}}) {
        const test::TempDir output;
        const test::CliResult result = download(output, flags);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(output.entries().size(), sites.size());
    }
}

// Without --ca-file the system's store decides; SSL_CERT_FILE stands in for it here.
TEST_F(CliStrictTls, TrustsTheSystemStoreWithoutACAFile) {
    const test::TempDir output;
    qputenv("SSL_CERT_FILE", authority.caFile().toLocal8Bit());
    const test::CliResult result =
        test::runCli({QStringLiteral("-d"), output.path(), QStringLiteral("--strict-tls"), sites[0].url});
    qunsetenv("SSL_CERT_FILE");
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(output.entries(), QStringList{QStringLiteral("good.bin")});
}

TEST_F(CliStrictTls, TheGrabberVerifiesToo) {
    const test::CliResult result =
        test::runCli({QStringLiteral("--grab"), sites[1].url, QStringLiteral("--strict-tls"),
                      QStringLiteral("--ca-file"), authority.caFile()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("Certificate verification failed: the certificate has expired."))
        << result.err.toStdString();
}

} // namespace
} // namespace hl
