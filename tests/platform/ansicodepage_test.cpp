#include "platform/ansicodepage.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(AnsiCodePage, DecodesTheWindowsTableAndLatin1) {
    const std::pair<unsigned char, char16_t> cases[] = {
        {0x41, u'A'},      {0x80, u'\u20AC'}, {0x8A, u'\u0160'}, {0x93, u'\u201C'}, {0x9F, u'\u0178'},
        {0x81, u'\u0081'}, {0x9D, u'\u009D'}, {0xA0, u'\u00A0'}, {0xE9, u'\u00E9'}, {0xFF, u'\u00FF'},
    };
    for (const auto& [byte, expected] : cases) {
        const char raw = static_cast<char>(byte);
        EXPECT_EQ(DecodeAnsi(QByteArrayView(&raw, 1)), QString(QChar(expected))) << int(byte);
    }
}

TEST(AnsiCodePage, EveryByteSurvivesARoundTrip) {
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    EXPECT_EQ(EncodeAnsi(DecodeAnsi(all)), all);
}

TEST(AnsiCodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(EncodeAnsi(QStringLiteral("caf\u00E9 \u20AC \u0416 \U0001F600!")),
              QByteArray("caf\xE9 \x80 ? ?!"));
}

} // namespace
} // namespace hl
