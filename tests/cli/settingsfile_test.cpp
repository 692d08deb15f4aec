// harvestline-cli --settings FILE: options from the window's settings.ini, flags winning over them.
#include "support/cliprocess.h"
#include "support/scriptedserver.h"
#include "support/scriptedsite.h"
#include "support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace hl {
namespace {

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files);
}

TEST(CliSettingsFile, OptionsComeFromTheFileAndFlagsWin) {
    test::ScriptedSite site;
    site.put("/a.zip", "aaa");
    test::TempDir dir;
    const QByteArray ini =
        "\xEF\xBB\xBF[Settings]\r\nSaveLocation=" + dir.file(QStringLiteral("fromfile/")).toUtf8() +
        "\r\nServerProposedName=OFF\r\nUserAgent=FromFile/1.0\r\nCustomExtension=.bin\r\n\r\n";
    dir.write(QStringLiteral("conf/settings.ini"), ini);
    const QStringList settings{QStringLiteral("--settings"), dir.file(QStringLiteral("conf/settings.ini"))};

    const test::CliResult fromFile = test::runCli(settings + QStringList{site.url("/a.zip")}, dir.path());
    EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err.toStdString();
    ASSERT_EQ(site.requests().size(), 1); // no HEAD: the file switched the server-proposed name off
    EXPECT_EQ(test::headerValue(site.requests().last(), "User-Agent"), "FromFile/1.0");
    EXPECT_EQ(filesIn(dir.file(QStringLiteral("fromfile"))), QStringList{QStringLiteral("a.zip.bin")});

    const test::CliResult fromFlags =
        test::runCli(settings + QStringList{QStringLiteral("--server-name"), QStringLiteral("--user-agent"),
                                            QStringLiteral("Flag/2"), QStringLiteral("-d"),
                                            dir.file(QStringLiteral("fromflags")), QStringLiteral("--ext"),
                                            QStringLiteral(".dat"), site.url("/a.zip")},
                     dir.path());
    EXPECT_EQ(fromFlags.exitCode, 0) << fromFlags.err.toStdString();
    EXPECT_EQ(site.count("HEAD", "/a.zip"), 1);
    EXPECT_EQ(test::headerValue(site.requests().last(), "User-Agent"), "Flag/2");
    EXPECT_EQ(filesIn(dir.file(QStringLiteral("fromflags"))), QStringList{QStringLiteral("a.zip.dat")});

    // The tool only reads the window's file.
    EXPECT_EQ(dir.read(QStringLiteral("conf/settings.ini")), ini);
    EXPECT_EQ(filesIn(dir.file(QStringLiteral("conf"))), QStringList{QStringLiteral("settings.ini")});
}

TEST(CliSettingsFile, ProxyTypeOfTheFileAppliesToTheProxyListUnlessAFlagSaysOtherwise) {
    // The "proxy" records the first bytes it gets and answers nothing.
    test::ScriptedServer proxy([](test::ScriptedConnection& c) { c.readExact(3); });
    test::TempDir dir;
    dir.write(QStringLiteral("settings.ini"), "[Settings]\r\nProxyType=SOCKS5\r\n");
    dir.write(QStringLiteral("proxies.txt"), QStringLiteral("127.0.0.1:%1\n").arg(proxy.port()).toUtf8());
    const QStringList common{QStringLiteral("--settings"),
                             dir.file(QStringLiteral("settings.ini")),
                             QStringLiteral("--proxy-list"),
                             dir.file(QStringLiteral("proxies.txt")),
                             QStringLiteral("--no-server-name"),
                             QStringLiteral("--read-timeout"),
                             QStringLiteral("500"),
                             QStringLiteral("http://files.test/a.zip")};
    const test::CliResult socks = test::runCli(common, dir.path());
    EXPECT_TRUE(socks.err.startsWith("(ERROR) Socks server did not respond. URL: "))
        << socks.err.toStdString();
    const test::CliResult http = test::runCli(
        common + QStringList{QStringLiteral("--proxy-type"), QStringLiteral("http")}, dir.path());
    EXPECT_EQ(http.exitCode, 1);
    ASSERT_TRUE(proxy.waitForScripts(2));
    EXPECT_EQ(proxy.received().at(0), QByteArray("\x05\x01\x00", 3)); // a SOCKS 5 greeting
    EXPECT_TRUE(proxy.received().at(1).startsWith("GET http://files.test/a.zip HTTP/1.1\r\n"));
}

TEST(CliSettingsFile, OfTwoOppositeFlagsTheLaterWins) {
    test::ScriptedSite site;
    site.put("/a.zip", "aaa");
    const struct {
        QStringList flags;
        int heads;
    } cases[] = {
        {{QStringLiteral("--no-server-name"), QStringLiteral("--server-name")}, 1},
        {{QStringLiteral("--server-name"), QStringLiteral("--no-server-name")}, 0},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const int before = site.count("HEAD", "/a.zip");
        const test::CliResult result = test::runCli(c.flags + QStringList{site.url("/a.zip")}, dir.path());
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(site.count("HEAD", "/a.zip") - before, c.heads)
            << c.flags.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(CliSettingsFile, UnreadableFileIsAUsageErrorAndStaysAsItWas) {
    test::TempDir dir;
    dir.write(QStringLiteral("latin1.ini"), "[Settings]\r\nSaveLocation=/caf\xE9/\r\n");
    const struct {
        QString file;
        const char* reason;
    } cases[] = {
        {dir.file(QStringLiteral("latin1.ini")), "not valid UTF-8"},
        {dir.file(QStringLiteral("missing.ini")), "No such file or directory"},
    };
    for (const auto& c : cases) {
        const test::CliResult result = test::runCli(
            {QStringLiteral("--settings"), c.file, QStringLiteral("http://127.0.0.1/")}, dir.path());
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.err.contains(c.file.toUtf8())) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.reason)) << result.err.toStdString();
    }
    EXPECT_EQ(dir.read(QStringLiteral("latin1.ini")), QByteArray("[Settings]\r\nSaveLocation=/caf\xE9/\r\n"));
}

} // namespace
} // namespace hl
