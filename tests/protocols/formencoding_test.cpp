#include "protocols/formencoding.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(FormEncoding, EncodesFieldsAndJoinsLines) {
    struct Case {
        QStringList lines;
        bool encode;
        QByteArray body;
    };
    const Case cases[] = {
        {{QStringLiteral("a=1 b"), QStringLiteral("c=x y")}, true, "a=1+b&c=x+y"},
        {{QString::fromUtf8("name=\xC3\xA4")}, true, "name=%C3%A4"},
        {{QStringLiteral("k=a=b&c"), QStringLiteral("*-._~!")}, true, "k=a%3Db%26c&*-._%7E%21"},
        {{QString::fromUtf8("e=\xF0\x9F\x98\x80")}, true, "e=%F0%9F%98%80"},
        {{QStringLiteral("x=") + QChar(0xD800)}, true, "x=%26%2355296%3B"}, // a lone surrogate
        {{QString(), QStringLiteral("a=1"), QString(), QStringLiteral("b=2"), QString()}, true, "a=1&&b=2"},
        {{QStringLiteral(" a=1 b "), QStringLiteral("c")}, false, "a=1 b &c"},
        {{}, true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(encodeFormLines(c.lines, c.encode), c.body) << c.lines.join(QLatin1Char('|')).toStdString();
}

} // namespace
} // namespace hl
