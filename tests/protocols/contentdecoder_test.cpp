#include "protocols/contentdecoder.h"
#include "support/compression.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

struct Collector final : BodySink {
    QByteArray bytes;
    void Write(const char* data, qint64 length) override { bytes.append(data, length); }
};

// Feeds the body in pieces of the given size, as a network would.
QByteArray decodeInPieces(ContentCoding coding, const QByteArray& body, qsizetype piece) {
    Collector out;
    ContentDecoder decoder(coding, out);
    for (qsizetype at = 0; at < body.size(); at += piece)
        decoder.Write(body.constData() + at, std::min(piece, body.size() - at));
    decoder.Finish();
    return out.bytes;
}

int zlibErrorOf(ContentCoding coding, const QByteArray& body) {
    try {
        decodeInPieces(coding, body, 7);
    } catch (const EDecompressionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("ZLib Error (%1)").arg(e.ZLibError));
        return e.ZLibError;
    }
    return 0;
}

const QByteArray kText = QByteArray("The quick brown fox jumps over the lazy dog. ").repeated(2000);

TEST(ContentDecoder, DecodesEveryFormatWhateverThePieceSize) {
    const std::tuple<ContentCoding, QByteArray> cases[] = {
        {ContentCoding::Gzip, test::gzipBytes(kText)},
        {ContentCoding::Deflate, test::zlibBytes(kText)},
        {ContentCoding::Deflate, test::rawDeflateBytes(kText)},
        // Two gzip members make one body.
        {ContentCoding::Gzip, test::gzipBytes(kText.left(1000)) + test::gzipBytes(kText.mid(1000))},
    };
    for (const auto& [coding, body] : cases) {
        for (const qsizetype piece : {qsizetype(1), qsizetype(3), qsizetype(4096), body.size()})
            EXPECT_EQ(decodeInPieces(coding, body, piece), kText) << "piece " << piece;
    }
}

TEST(ContentDecoder, SkipsOptionalGzipHeaderFields) {
    const QByteArray member = test::gzipBytes(kText);
    // FEXTRA, FNAME and FCOMMENT (header CRC left out) before the same deflate data and trailer.
    QByteArray withFields = member.left(3);
    withFields.append(char(0x04 | 0x08 | 0x10));
    withFields.append(member.mid(4, 6));
    withFields.append(QByteArray("\x03\x00xyz", 5));
    withFields.append(QByteArray("name.txt\0", 9));
    withFields.append(QByteArray("a comment\0", 10));
    withFields.append(member.mid(10));
    EXPECT_EQ(decodeInPieces(ContentCoding::Gzip, withFields, 5), kText);
}

TEST(ContentDecoder, CorruptOrTruncatedBodiesFail) {
    const QByteArray gzip = test::gzipBytes(kText);
    QByteArray badCrc = gzip;
    badCrc[gzip.size() - 8] = static_cast<char>(badCrc[gzip.size() - 8] ^ 1);
    QByteArray badLength = gzip;
    badLength[gzip.size() - 1] = static_cast<char>(badLength[gzip.size() - 1] ^ 1);
    QByteArray badData = test::zlibBytes(kText);
    badData[badData.size() / 2] = static_cast<char>(badData[badData.size() / 2] ^ 0xff);

    EXPECT_EQ(zlibErrorOf(ContentCoding::Gzip, badCrc), -3);
    EXPECT_EQ(zlibErrorOf(ContentCoding::Gzip, badLength), -3);
    EXPECT_EQ(zlibErrorOf(ContentCoding::Deflate, badData), -3);
    EXPECT_EQ(zlibErrorOf(ContentCoding::Gzip, "not gzip at all"), -3);
    EXPECT_EQ(zlibErrorOf(ContentCoding::Gzip, gzip.left(gzip.size() - 4)), -5);
    EXPECT_EQ(zlibErrorOf(ContentCoding::Deflate, test::zlibBytes(kText).left(100)), -5);
}

TEST(ContentDecoder, EmptyBodyAndTrailingPaddingDecodeQuietly) {
    EXPECT_EQ(decodeInPieces(ContentCoding::Gzip, QByteArray(), 1), QByteArray());
    EXPECT_EQ(decodeInPieces(ContentCoding::Gzip, test::gzipBytes(kText) + QByteArray(16, '\0'), 9), kText);
    EXPECT_EQ(ContentDecoder::decodeAll(ContentCoding::Deflate, test::zlibBytes(kText), 10), kText.left(10));
}

} // namespace
} // namespace hl
