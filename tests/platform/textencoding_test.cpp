#include "platform/textencoding.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(TextEncoding, TextFilesAreReadByMarkThenUtf8ThenAnsi) {
    struct Case {
        QByteArray bytes;
        QString text;
        TextEncoding encoding;
        bool mark;
    };
    const Case cases[] = {
        {"", QString(), TextEncoding::Utf8, false},
        {"caf\xC3\xA9", QStringLiteral("caf\u00E9"), TextEncoding::Utf8, false},
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9",
         QStringLiteral("caf\u00E9"), TextEncoding::Utf8, true},
        // Only the first mark is the file's; a second one is a character of the text.
        {"\xEF\xBB\xBF\xEF\xBB\xBF"
         "a",
         QStringLiteral("\uFEFFa"), TextEncoding::Utf8, true},
        {"caf\xE9 \x80", QStringLiteral("caf\u00E9 \u20AC"), TextEncoding::Ansi, false},
        // A mark that lies: the rest is read in the ANSI code page, without the mark.
        {"\xEF\xBB\xBF"
         "caf\xE9",
         QStringLiteral("caf\u00E9"), TextEncoding::Ansi, true},
        {QByteArray("\xFF\xFE"
                    "a\0\xE9\0",
                    6),
         QStringLiteral("a\u00E9"), TextEncoding::Utf16LE, true},
        {QByteArray("\xFE\xFF\0a\0\xE9", 6), QStringLiteral("a\u00E9"), TextEncoding::Utf16BE, true},
        {QByteArray("\xFF\xFE"
                    "a\0b",
                    5),
         QStringLiteral("a\0b"), TextEncoding::Ansi, true}, // odd length
        {QByteArray("\xFF\xFE\x00\xD8", 4), QStringLiteral("\0\u00D8"), TextEncoding::Ansi,
         true}, // lone surrogate
    };
    for (const Case& c : cases) {
        const DecodedTextFile file = DecodeTextFile(c.bytes);
        EXPECT_EQ(file.text, c.text) << c.bytes.toHex().constData();
        EXPECT_EQ(file.encoding, c.encoding) << c.bytes.toHex().constData();
        EXPECT_EQ(file.byteOrderMark, c.mark) << c.bytes.toHex().constData();
    }
}

TEST(TextEncoding, EncodingRoundTripsWithAndWithoutMark) {
    const QString text = QStringLiteral("\u00E9t\u00E9 \u20AC \U0001F600\r\n");
    for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
        const QByteArray withMark = EncodeText(text, encoding, true);
        const DecodedTextFile file = DecodeTextFile(withMark);
        EXPECT_EQ(file.text, text);
        EXPECT_EQ(file.encoding, encoding);
        EXPECT_TRUE(file.byteOrderMark);
        EXPECT_EQ(DecodeText(EncodeText(text, encoding, false), encoding), text);
    }
    EXPECT_EQ(EncodeText(QStringLiteral("\u00E9"), TextEncoding::Ansi, true), QByteArray("\xE9"));
}

} // namespace
} // namespace hl
