#include "settings/textlines.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(TextLines, SplitsAtEveryBreakStyleAndNotAfterTheLastBreak) {
    const std::pair<QString, QStringList> cases[] = {
        {QString(), {}},
        {QStringLiteral("a"), {QStringLiteral("a")}},
        {QStringLiteral("a\n"), {QStringLiteral("a")}},
        {QStringLiteral("a\r\nb\rc\nd"),
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}},
        {QStringLiteral("a\n\n"), {QStringLiteral("a"), QString()}},
        {QStringLiteral("\n"), {QString()}},
        {QStringLiteral("a\n\r"), {QStringLiteral("a"), QString()}}, // LF then CR: two breaks
    };
    for (const auto& [text, lines] : cases)
        EXPECT_EQ(SplitLines(text), lines) << text.toStdString();
}

TEST(TextLines, RewritingBreaks) {
    struct Case {
        QString text;
        QString replaced;   // with CR LF, the last line as it was
        QString terminated; // with CR LF after every line
    };
    const Case cases[] = {
        {QString(), QString(), QString()},
        {QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("a\r\n")},
        {QStringLiteral("a\nb"), QStringLiteral("a\r\nb"), QStringLiteral("a\r\nb\r\n")},
        {QStringLiteral("a\rb\n"), QStringLiteral("a\r\nb\r\n"), QStringLiteral("a\r\nb\r\n")},
        {QStringLiteral("\n\n"), QStringLiteral("\r\n\r\n"), QStringLiteral("\r\n\r\n")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceLineBreaks(c.text, LineBreak::CrLf), c.replaced) << c.text.toStdString();
        EXPECT_EQ(TerminateLines(c.text, LineBreak::CrLf), c.terminated) << c.text.toStdString();
    }
    EXPECT_EQ(ReplaceLineBreaks(u"a\r\nb\rc", LineBreak::Lf), QStringLiteral("a\nb\nc"));
}

TEST(TextLines, TheFirstBreakNamesTheStyle) {
    EXPECT_EQ(DetectLineBreak(u"a\r\nb\nc"), LineBreak::CrLf);
    EXPECT_EQ(DetectLineBreak(u"a\nb\r\nc"), LineBreak::Lf);
    EXPECT_EQ(DetectLineBreak(u"a\rb"), LineBreak::Cr);
    EXPECT_EQ(DetectLineBreak(u"a"), LineBreak::CrLf);
}

} // namespace
} // namespace hl
