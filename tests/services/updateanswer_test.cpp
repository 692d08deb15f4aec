#include "services/scrambledtext.h"
#include "services/updateanswer.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(GetTagValue, TakesOnlyALineThatIsExactlyTheElement) {
    const struct {
        const char* line;
        const char* tag;
        const char* value;
    } cases[] = {
        {"<version>6.4</version>", "version", "6.4"},
        {"<version>6.4</version>", "VERSION", "6.4"}, // the tag is looked for in lower case
        {"<version></version>", "version", ""},
        {"<url>http://a/b?c=<d></url>", "url", "http://a/b?c=<d>"},
        {"<VERSION>6.4</VERSION>", "version", ""}, // the line's tags are compared with case
        {" <version>6.4</version>", "version", ""},
        {"<version>6.4</version> ", "version", ""},
        {"<version>6.4", "version", ""},
        {"<url>x</url>", "version", ""},
        {"", "version", ""},
        {"<>x</>", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetTagValue(QString::fromUtf8(c.line), QString::fromUtf8(c.tag)),
                  QString::fromUtf8(c.value))
            << c.line << " / " << c.tag;
}

TEST(IsPublishedVersionNumber, DigitsAndDotsWithinThirtyTwoBits) {
    const struct {
        const char* version;
        bool number;
    } cases[] = {
        {"6.4", true},
        {"10.0.3.1", true},
        {"7", true},
        {".5.", true},
        {"", false},
        {"...", false},
        {"6.4b", false},
        {"6 4", false},
        {"+64", false},
        {"-64", false},
        {"0x40", false},
        {"6,4", false},
        {"2147483647", true},
        {"2.147.483.648", false},
        {"99999999999999999999999999999999", false},
        {"0000000000000000000000000000001", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPublishedVersionNumber(QString::fromUtf8(c.version)), c.number) << c.version;
}

TEST(AnswerLines, SplitsAtEveryKindOfLineBreakWithoutATrailingEmptyLine) {
    EXPECT_EQ(AnswerLines(QStringLiteral("a\r\nb\nc\rd")), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(AnswerLines(QStringLiteral("a\nb\nc\n")), QStringList({"a", "b", "c"}));
    EXPECT_EQ(AnswerLines(QStringLiteral("a\n\nc\n\n")), QStringList({"a", "", "c", ""}));
    EXPECT_EQ(AnswerLines(QString()), QStringList());
}

TEST(ScrambledText, RoundTripsAnyTextAndHidesIt) {
    for (const QString& text :
         {QString(), QStringLiteral("http://dl.example/a b.zip?x=1&y=\u00E9\U0001F600")}) {
        const QString scrambled = ScrambleText(text);
        EXPECT_EQ(scrambled.size(), text.toUtf8().size() * 2);
        EXPECT_FALSE(!text.isEmpty() && scrambled.contains(QStringLiteral("dl")));
        EXPECT_EQ(scrambled, scrambled.toUpper());
        EXPECT_EQ(UnscrambleText(scrambled), text);
        EXPECT_EQ(UnscrambleText(scrambled.toLower()), text);
    }
    EXPECT_EQ(UnscrambleText(QStringLiteral("ABC")), QString());  // odd length
    EXPECT_EQ(UnscrambleText(QStringLiteral("ZZ12")), QString()); // not hexadecimal
    EXPECT_EQ(UnscrambleText(QStringLiteral("http://plain")), QString());
}

} // namespace
} // namespace hl
