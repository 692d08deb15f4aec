#include "protocols/httpexceptions.h"
#include "protocols/idhttp.h"
#include "support/nginxserver.h"
#include "support/patternedbytes.h"
#include "support/tempdir.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

namespace hl {
namespace {

// A plain transport that counts the connections it opens.
class CountingTransport final : public TIdIOHandlerSocket {
public:
    void Open() override {
        ++opens;
        TIdIOHandlerSocket::Open();
    }
    int opens = 0;
};

// gzip for every type and size; /sub/ rewritten on the fly, so its length is unknown and the
// reply comes chunked.
test::NginxOptions interopOptions() {
    test::NginxOptions options;
    options.serverDirectives = QStringLiteral(
        "gzip on; gzip_types *; gzip_min_length 0;\n"
        "location /sub/ { sub_filter 'Hello' 'Howdy'; sub_filter_once off; sub_filter_types *; }\n"
        "location = /old { return 301 /sub/page.txt; }\n");
    return options;
}

class NginxInterop : public ::testing::Test {
protected:
    NginxInterop() : nginx(interopOptions()) {
        transport = std::make_shared<CountingTransport>();
        http.IOHandler = transport;
        http.ReadTimeout = 10000;
        http.HandleRedirects = true;
    }

    test::NginxServer nginx;
    std::shared_ptr<CountingTransport> transport;
    TIdHTTP http;
};

TEST_F(NginxInterop, LargeBodyArrivesWholeIntoAFile) {
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QByteArray content = test::patternedBytes(32 * 1024 * 1024);
    const QString url = nginx.put(QStringLiteral("large.bin"), content);
    test::TempDir dir;
    {
        TFileStream file(dir.file(QStringLiteral("large.bin.part")), TFileStream::Mode::Create);
        http.Get(url, &file);
    }
    EXPECT_EQ(http.Response.ContentLength, content.size());
    const QByteArray stored = dir.read(QStringLiteral("large.bin.part"));
    EXPECT_EQ(stored.size(), content.size());
    EXPECT_EQ(QCryptographicHash::hash(stored, QCryptographicHash::Sha256),
              QCryptographicHash::hash(content, QCryptographicHash::Sha256));
}

TEST_F(NginxInterop, ChunkedAndGzipRepliesAreDecodedAndTheConnectionIsReused) {
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QByteArray page = QByteArray("Hello from nginx, line after line.\n").repeated(4000);
    nginx.put(QStringLiteral("sub/page.txt"), page);

    TMemoryStream chunked;
    http.Get(nginx.url(QStringLiteral("/sub/page.txt")), &chunked);
    EXPECT_EQ(http.Response.TransferEncoding, QStringLiteral("chunked"));
    EXPECT_EQ(chunked.Data(), QByteArray(page).replace("Hello", "Howdy"));

    http.Compressor = std::make_shared<TIdCompressorZLib>();
    TMemoryStream decoded;
    http.Get(nginx.url(QStringLiteral("/old")), &decoded); // a redirect first, then a gzip body
    EXPECT_EQ(http.Response.ContentEncoding, QStringLiteral("gzip"));
    EXPECT_EQ(decoded.Data(), QByteArray(page).replace("Hello", "Howdy"));

    nginx.put(QStringLiteral("plain.txt"), page);
    http.Request.Range = QStringLiteral("6-10");
    http.Compressor.reset();
    http.Request.AcceptEncoding.clear();
    TMemoryStream part;
    http.Get(nginx.url(QStringLiteral("/plain.txt")), &part);
    EXPECT_EQ(http.Response.ResponseCode, 206);
    EXPECT_EQ(part.Data(), "from ");

    EXPECT_EQ(transport->opens, 1);
}

TEST_F(NginxInterop, MissingFileIsAProtocolErrorWithNginxsStatusLine) {
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    try {
        http.Get(nginx.url(QStringLiteral("/missing.zip")), nullptr);
        FAIL() << "no exception";
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("HTTP/1.1 404 Not Found"));
        EXPECT_TRUE(e.ErrorMessage.contains(QLatin1String("404 Not Found")));
    }
    nginx.put(QStringLiteral("there.zip"), "zip");
    http.Head(nginx.url(QStringLiteral("/there.zip")));
    EXPECT_EQ(http.Response.ContentLength, 3);
    EXPECT_EQ(transport->opens, 1);
}

} // namespace
} // namespace hl
