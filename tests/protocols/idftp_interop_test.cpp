#include "platform/streams.h"
#include "protocols/httpconnecttunnel.h"
#include "protocols/idexceptions.h"
#include "protocols/idftp.h"
#include "protocols/idsocks.h"
#include "support/anonymousftp.h"
#include "support/ftpserver.h"
#include "support/microsocksserver.h"
#include "support/patternedbytes.h"
#include "support/qtprinters.h"
#include "support/tempdir.h"
#include "support/tinyproxyserver.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

class IdFtpInterop : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.started()) << server_.log().toStdString(); }

    void connect(TIdFTP& ftp) {
        test::configureAnonymousFtp(ftp, QStringLiteral("127.0.0.1"), server_.port(), 5000);
        ftp.Connect();
    }

    test::FtpServer server_;
    test::TempDir downloads_;
};

TEST_F(IdFtpInterop, DownloadsIntoAFileAndReportsItsSize) {
    const QByteArray content = test::patternedBytes(3 * 1024 * 1024 + 17);
    server_.put(QStringLiteral("pub/file.bin"), content);
    TIdFTP ftp;
    connect(ftp);
    qint64 reported = 0;
    ftp.OnWork = [&](TWorkMode, qint64 count) { reported = count; };
    EXPECT_EQ(ftp.Size(QStringLiteral("/pub/file.bin")), content.size());
    {
        TFileStream out(downloads_.file(QStringLiteral("file.bin")), TFileStream::Mode::Create);
        ftp.Get(QStringLiteral("/pub/file.bin"), out, false);
    }
    EXPECT_EQ(downloads_.read(QStringLiteral("file.bin")), content);
    EXPECT_EQ(reported, content.size());
}

TEST_F(IdFtpInterop, ResumesAtTheEndOfAPartialFile) {
    const QByteArray content = test::patternedBytes(500 * 1024);
    server_.put(QStringLiteral("file.bin"), content);
    downloads_.write(QStringLiteral("file.bin.part"), content.left(123457));
    TIdFTP ftp;
    connect(ftp);
    ASSERT_TRUE(ftp.ResumeSupported());
    qint64 reported = 0;
    ftp.OnWork = [&](TWorkMode, qint64 count) { reported = count; };
    {
        TFileStream out(downloads_.file(QStringLiteral("file.bin.part")), TFileStream::Mode::OpenExisting);
        out.Seek(out.Size());
        ftp.Get(QStringLiteral("/file.bin"), out, true);
    }
    EXPECT_EQ(downloads_.read(QStringLiteral("file.bin.part")), content);
    EXPECT_EQ(reported, content.size() - 123457);
}

TEST_F(IdFtpInterop, MissingFileHasNoSizeAndFailsWithTheServerText) {
    TIdFTP ftp;
    connect(ftp);
    EXPECT_EQ(ftp.Size(QStringLiteral("/missing.bin")), -1);
    TMemoryStream out;
    try {
        ftp.Get(QStringLiteral("/missing.bin"), out, false);
        ADD_FAILURE() << "no error for a missing file";
    } catch (const EIdReplyRFCError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("No such file or directory.\r\n"));
    }
    EXPECT_TRUE(ftp.Connected());
}

TEST_F(IdFtpInterop, AbortedTransferLeavesTheSessionUsable) {
    const QByteArray content = test::patternedBytes(16 * 1024 * 1024);
    server_.put(QStringLiteral("big.bin"), content);
    TIdFTP ftp;
    connect(ftp);
    ftp.OnWork = [&](TWorkMode, qint64) { ftp.Abort(); };
    TMemoryStream out;
    ftp.Get(QStringLiteral("/big.bin"), out, false);
    EXPECT_GT(out.Size(), 0);
    EXPECT_LT(out.Size(), content.size());
    EXPECT_EQ(out.Data(), content.left(out.Size()));
    EXPECT_EQ(ftp.Size(QStringLiteral("/big.bin")), content.size());
}

// Runs the real tunnel and counts its handshakes, to show that both the control and the data
// connection went through the proxy.
class CountingTunnel final : public ConnectionTunnel {
public:
    CountingTunnel(const ConnectionTunnel& inner, std::shared_ptr<int> count)
        : inner_(inner.clone()), count_(std::move(count)) {}
    std::unique_ptr<ConnectionTunnel> clone() const override {
        return std::make_unique<CountingTunnel>(*inner_, count_);
    }
    bool enabled() const override { return true; }
    QString serverHost() const override { return inner_->serverHost(); }
    quint16 serverPort() const override { return inner_->serverPort(); }
    void handshake(TIdIOHandlerSocket& transport, const QString& host, quint16 port) override {
        inner_->handshake(transport, host, port);
        ++*count_;
    }

private:
    std::unique_ptr<ConnectionTunnel> inner_;
    std::shared_ptr<int> count_;
};

TEST_F(IdFtpInterop, DownloadsThroughSocks5AndThroughAnHttpProxy) {
    const QByteArray content = test::patternedBytes(1024 * 1024);
    server_.put(QStringLiteral("file.bin"), content);
    test::MicrosocksServer microsocks;
    ASSERT_TRUE(microsocks.started()) << microsocks.log().toStdString();
    test::TinyproxyServer tinyproxy;
    ASSERT_TRUE(tinyproxy.started()) << tinyproxy.log().toStdString();

    TIdSocksInfo socks;
    socks.Version = TSocksVersion::svSocks5;
    socks.Host = QStringLiteral("127.0.0.1");
    socks.Port = microsocks.port();
    HttpConnectTunnel httpProxy;
    httpProxy.Host = QStringLiteral("127.0.0.1");
    httpProxy.Port = tinyproxy.port();

    for (const ConnectionTunnel* proxy :
         {static_cast<const ConnectionTunnel*>(&socks), static_cast<const ConnectionTunnel*>(&httpProxy)}) {
        SCOPED_TRACE(proxy == &socks ? "SOCKS 5" : "HTTP CONNECT");
        auto handshakes = std::make_shared<int>(0);
        CountingTunnel counting(*proxy, handshakes);
        TIdFTP ftp;
        ftp.SetTransparentProxy(&counting);
        connect(ftp);
        EXPECT_EQ(ftp.Size(QStringLiteral("/file.bin")), content.size());
        TMemoryStream out;
        ftp.Get(QStringLiteral("/file.bin"), out, false);
        EXPECT_EQ(out.Data(), content);
        EXPECT_EQ(*handshakes, 2);
    }
}

} // namespace
} // namespace hl
