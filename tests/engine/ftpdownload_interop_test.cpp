// The FTP procedure against Debian's pyftpdlib on loopback: download, skip, numbering, overwrite,
// resume of a partial file, and the proxy types through microsocks and tinyproxy.
#include "engine/downloader.h"
#include "support/ftpserver.h"
#include "support/microsocksserver.h"
#include "support/patternedbytes.h"
#include "support/recordingwindow.h"
#include "support/tempdir.h"
#include "support/tinyproxyserver.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

class FtpDownloadInterop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.started()) << server.log().toStdString();
        window.options.saveFolder = dir.path();
        window.options.connectTimeoutMs = 5000;
        window.options.readTimeoutMs = 5000;
        window.options.showErrors = false;
    }

    void run(const QString& url) {
        window.lines = {url};
        window.downloadLog.clear();
        TDownloader(window, state, environment).DownloadNow();
        EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
    }

    test::FtpServer server;
    test::TempDir dir;
    test::RecordingWindow window;
    RunState state;
    EngineEnvironment environment;
};

TEST_F(FtpDownloadInterop, DownloadsSkipsNumbersAndOverwrites) {
    const QByteArray first = test::patternedBytes(2 * 1024 * 1024 + 3);
    const QString url = server.put(QStringLiteral("pub/data.bin"), first);
    run(url);
    EXPECT_EQ(window.downloadLog, QStringList{QStringLiteral("(DOWNLOADED) URL: ") + url});
    EXPECT_EQ(dir.read(QStringLiteral("data.bin")), first);

    run(url);
    EXPECT_EQ(window.downloadLog, QStringList{QStringLiteral("(SKIPPED) URL: ") + url});

    const QByteArray second = test::patternedBytes(1000).toBase64();
    server.put(QStringLiteral("pub/data.bin"), second);
    window.options.skipExisting = false;
    run(url);
    EXPECT_EQ(dir.read(QStringLiteral("data (2).bin")), second);

    window.options.overwrite = true;
    run(url);
    EXPECT_EQ(dir.read(QStringLiteral("data.bin")), second);
    EXPECT_EQ(dir.entries(), (QStringList{QStringLiteral("data (2).bin"), QStringLiteral("data.bin")}));
}

TEST_F(FtpDownloadInterop, ContinuesAPartialFileOrStartsANumberedOne) {
    const QByteArray content = test::patternedBytes(1024 * 1024);
    const QString url = server.put(QStringLiteral("data.bin"), content);
    dir.write(QStringLiteral("data.bin.part"), content.left(300001));
    run(url);
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("data.bin")});
    EXPECT_EQ(dir.read(QStringLiteral("data.bin")), content);

    // Without resuming, an existing partial file is left alone and a numbered one takes the data.
    test::TempDir folder;
    window.options.saveFolder = folder.path();
    window.options.resumePartial = false;
    folder.write(QStringLiteral("data.bin.part"), "not this");
    run(url);
    EXPECT_EQ(folder.entries(), (QStringList{QStringLiteral("data.bin"), QStringLiteral("data.bin.part")}));
    EXPECT_EQ(folder.read(QStringLiteral("data.bin")), content);
    EXPECT_EQ(folder.read(QStringLiteral("data.bin.part")), "not this");
}

TEST_F(FtpDownloadInterop, FetchesANonAsciiNameThroughEscapesAndRawCharacters) {
    const QByteArray content = test::patternedBytes(300000);
    server.put(QStringLiteral("pub/sp ace \u00e9.bin"), content);
    const QString escaped = server.url(QStringLiteral("/pub/sp%20ace%20%C3%A9.bin"));
    const QString raw = server.url(QStringLiteral("/pub/sp ace \u00e9.bin"));
    run(escaped);
    run(raw);
    // The names the URLs give, as before.
    EXPECT_EQ(dir.entries(),
              (QStringList{QStringLiteral("sp ace -.bin"), QStringLiteral("sp ace -C3-A9.bin")}));
    EXPECT_EQ(dir.read(QStringLiteral("sp ace -.bin")), content);
    EXPECT_EQ(dir.read(QStringLiteral("sp ace -C3-A9.bin")), content);
}

TEST_F(FtpDownloadInterop, DownloadsThroughSocks5AndThroughAnHttpProxy) {
    const QByteArray content = test::patternedBytes(512 * 1024);
    const QString url = server.put(QStringLiteral("data.bin"), content);
    test::MicrosocksServer microsocks;
    ASSERT_TRUE(microsocks.started()) << microsocks.log().toStdString();
    test::TinyproxyServer tinyproxy;
    ASSERT_TRUE(tinyproxy.started()) << tinyproxy.log().toStdString();
    const struct {
        ProxyType type;
        quint16 port;
    } proxies[] = {{ProxyType::Socks5, microsocks.port()}, {ProxyType::Http, tinyproxy.port()}};
    for (const auto& proxy : proxies) {
        SCOPED_TRACE(proxySchemeName(proxy.type).toStdString());
        test::TempDir folder;
        window.options.saveFolder = folder.path();
        window.proxyLines = {QStringLiteral("127.0.0.1:%1").arg(proxy.port)};
        window.prepareProxies(proxy.type);
        run(url);
        EXPECT_EQ(window.downloadLog, QStringList{QStringLiteral("(DOWNLOADED) URL: ") + url});
        EXPECT_EQ(folder.read(QStringLiteral("data.bin")), content);
    }
    // The HTTP proxy carried the control connection and the data connection.
    EXPECT_EQ(tinyproxy.log().count(QStringLiteral("CONNECT 127.0.0.1:")), 2)
        << tinyproxy.log().toStdString();
}

} // namespace
} // namespace hl
