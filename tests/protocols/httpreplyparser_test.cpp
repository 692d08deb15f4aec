#include "protocols/httpheaderlist.h"
#include "protocols/httpranges.h"
#include "protocols/httpreplyparser.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(HttpReplyParser, ResponseCodeIsTheSecondWordUpToADot) {
    const std::pair<const char*, int> cases[] = {
        {"HTTP/1.1 200 OK", 200},
        {"HTTP/1.0 404", 404},
        {"HTTP/1.1 301.5 Moved", 301},
        {"HTTP/1.1 OK", -1},
        {"HTTP/1.1  200 OK", -1},
        {"HTTP/1.1", -1},
        {"", -1},
        {"HTTP/1.1 -5 x", -1},
        {"HTTP/1.1 99999999999 x", -1},
    };
    for (const auto& [line, code] : cases)
        EXPECT_EQ(parseResponseCode(QString::fromLatin1(line)), code) << line;
    EXPECT_EQ(parseResponseVersion(QStringLiteral("HTTP/1.0 200 OK")), QStringLiteral("1.0"));
    EXPECT_EQ(parseResponseVersion(QStringLiteral("HTTP/2 200")), QString());
}

TEST(HttpReplyParser, ChunkSizesAreHexadecimalAndBounded) {
    const std::pair<const char*, std::optional<qint64>> cases[] = {
        {"1a", 26},
        {"  FF ; name=\"v;w\"", 255},
        {"0", 0},
        {"7fffffffffffffff", std::numeric_limits<qint64>::max()},
        {"8000000000000000", std::nullopt},
        {"", std::nullopt},
        {"0x10", std::nullopt},
        {"g", std::nullopt},
    };
    for (const auto& [line, size] : cases)
        EXPECT_EQ(parseChunkSize(line), size) << line;
}

TEST(HttpReplyParser, ContentLengthIsANonNegativeNumberOrMinusOne) {
    EXPECT_EQ(parseContentLength(QStringLiteral(" 1000 ")), 1000);
    EXPECT_EQ(parseContentLength(QStringLiteral("0")), 0);
    for (const char* bad : {"", "-5", "10, 10", "1e3", "99999999999999999999"})
        EXPECT_EQ(parseContentLength(QString::fromLatin1(bad)), -1) << bad;
}

TEST(HttpReplyParser, HeaderBytesAboveSevenBitsBecomeReplacementCharacters) {
    EXPECT_EQ(decodeHeaderBytes("caf\xC3\xA9"), QStringLiteral("caf\uFFFD\uFFFD"));
}

TEST(HttpReplyParser, HeaderParametersAndTokens) {
    const QString type = QStringLiteral("multipart/byteranges; Boundary=\"a;b\" ; charset = utf-8");
    EXPECT_EQ(headerParameter(type, QStringLiteral("charset")), QStringLiteral("utf-8"));
    EXPECT_EQ(headerParameter(QStringLiteral("text/html"), QStringLiteral("charset")), QString());
    EXPECT_TRUE(headerHasToken(QStringLiteral("Keep-Alive, Upgrade"), QStringLiteral("keep-alive")));
    EXPECT_FALSE(headerHasToken(QStringLiteral("closed"), QStringLiteral("close")));
    const TIdContentRange range = parseContentRange(QStringLiteral("bytes 100-199/*"));
    EXPECT_EQ(range.Units, QStringLiteral("bytes"));
    EXPECT_EQ(range.Start, 100);
    EXPECT_EQ(range.End, 199);
    EXPECT_EQ(range.InstanceLength, -1);
}

TEST(HttpHeaderList, LooksUpTheFirstValueWithFoldedLinesJoined) {
    TIdHeaderList headers;
    for (const char* line :
         {"Set-Cookie: a=1", "X-Long: first", " second", "\tthird", "set-cookie: b=2", "Bad line"})
        headers.AddLine(QString::fromLatin1(line));
    EXPECT_EQ(headers.Value(QStringLiteral("x-long")), QStringLiteral("first second third"));
    EXPECT_EQ(headers.Values(QStringLiteral("Set-Cookie")),
              QStringList({QStringLiteral("a=1"), QStringLiteral("b=2")}));
    EXPECT_FALSE(headers.Contains(QStringLiteral("second")));

    headers.SetValue(QStringLiteral("X-LONG"), QStringLiteral("short"));
    EXPECT_EQ(headers.Value(QStringLiteral("X-Long")), QStringLiteral("short"));
    EXPECT_EQ(headers.Count(), 4);
}

TEST(HttpRanges, AreHeldInTheirCanonicalForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"12345-", "bytes=12345-"},
        {"bytes=0-99, -500", "bytes=0-99,-500"},
        {"items= 1 - 2 ,, 5-", "items=1-2,5-"},
        {"", ""},
        {"abc", ""},
        {"5-x", ""},
    };
    for (const auto& [text, expected] : cases) {
        HttpRanges ranges;
        ranges = QString::fromLatin1(text);
        EXPECT_EQ(ranges.text(), QString::fromLatin1(expected)) << text;
    }
}

} // namespace
} // namespace hl
