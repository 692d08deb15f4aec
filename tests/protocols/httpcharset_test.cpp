#include "protocols/httpcharset.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(HttpCharset, MediaTypeFamilies) {
    EXPECT_TRUE(isHtmlMediaType(QStringLiteral("Text/HTML; charset=x")));
    EXPECT_TRUE(isXmlMediaType(QStringLiteral("application/rss+xml")));
    EXPECT_FALSE(isXmlMediaType(QStringLiteral("application/xhtml+xml")));
    EXPECT_TRUE(isJsonMediaType(QStringLiteral("application/ld+json")));
    EXPECT_FALSE(isJsonMediaType(QStringLiteral("text/plain")));
}

TEST(HttpCharset, HtmlMetaElements) {
    const HtmlMetaDeclarations meta = scanHtmlMeta(
        "<meta name=x content=y><META http-equiv=\"Refresh\" content=\"0; url=/a\"/>"
        "<meta charset='ISO-8859-2'><meta http-equiv=Content-Type content='text/html; charset=utf-8'><meta");
    ASSERT_EQ(meta.httpEquiv.size(), 2);
    EXPECT_EQ(meta.httpEquiv[0], std::make_pair(QStringLiteral("Refresh"), QStringLiteral("0; url=/a")));
    EXPECT_EQ(meta.charset, QStringLiteral("ISO-8859-2"));
    EXPECT_EQ(scanHtmlMeta(
                  "<metadata charset=x><meta http-equiv='content-type' content='text/html;charset=koi8-r'>")
                  .charset,
              QStringLiteral("koi8-r"));
}

TEST(HttpCharset, XmlAndJsonDeclareTheirEncodingInTheirFirstBytes) {
    EXPECT_EQ(xmlDeclaredEncoding("<?xml version=\"1.0\" encoding='Shift_JIS'?><a/>"),
              QStringLiteral("Shift_JIS"));
    EXPECT_EQ(xmlDeclaredEncoding("<?xml version=\"1.0\"?><a encoding='x'/>"), QString());
    EXPECT_EQ(xmlDeclaredEncoding(QByteArray("\xFF\xFE<\0", 4)), QStringLiteral("UTF-16LE"));
    EXPECT_EQ(jsonEncoding(QByteArray("\0{\0\"", 4)), QStringLiteral("UTF-16BE"));
    EXPECT_EQ(jsonEncoding(QByteArray("{\0\0\0", 4)), QStringLiteral("UTF-32LE"));
    EXPECT_EQ(jsonEncoding("{}"), QStringLiteral("UTF-8"));
}

TEST(HttpCharset, DecodesTextInTheNamedCharset) {
    EXPECT_EQ(decodeText("\x80 \xE9", QStringLiteral("ISO-8859-1")), QStringLiteral("\u20AC \u00E9"));
    EXPECT_EQ(decodeText("\xC3\xA9", QStringLiteral("utf-8")), QStringLiteral("\u00E9"));
    EXPECT_EQ(decodeText(QByteArray("a\0", 2), QStringLiteral("UTF-16LE")), QStringLiteral("a"));
    EXPECT_EQ(decodeText("\xC3\xA9", QString()), QStringLiteral("\u00E9"));
    EXPECT_EQ(decodeText("caf\xE9", QStringLiteral("no-such-charset")), QStringLiteral("caf\u00E9"));
}

} // namespace
} // namespace hl
