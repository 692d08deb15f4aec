#include "platform/utf8check.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(Utf8Check, StrictValidity) {
    const std::pair<QByteArray, bool> cases[] = {
        {"", true},
        {"plain ascii", true},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true}, // 2, 3 and 4 bytes
        {"\xF4\x8F\xBF\xBF", true},                          // U+10FFFF
        {"caf\xE9", false},                                  // Latin-1
        {"\xC0\x80", false},                                 // overlong NUL
        {"\xE0\x80\xAF", false},                             // overlong "/"
        {"\xED\xA0\x80", false},                             // surrogate
        {"\xF4\x90\x80\x80", false},                         // above U+10FFFF
        {"\xE2\x82", false},                                 // cut short at the end
        {"\x80", false},                                     // lone continuation byte
        {"\xC3\x28", false},                                 // continuation missing
        {"0123456789abcdef\xC3\xA9", true},                  // after a run of ASCII
        {"0123456789abcdef\xE9", false},
    };
    for (const auto& [bytes, valid] : cases)
        EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes.toHex().constData();
}

TEST(Utf8Check, LoadListGuessLooksAtTheFirstHighByteWithinTheWindow) {
    const QByteArray ascii(16384, 'a');
    const std::pair<QByteArray, bool> cases[] = {
        {"only ascii", false},
        {"caf\xC3\xA9", true},
        {"caf\xE9", false},
        {"caf\xC3\xA9 then \xE9", true}, // only the first high byte counts
        {"caf\xE9 then \xC3\xA9", false},
        {ascii + "\xC3\xA9", false},                // first high byte beyond the window
        {ascii.left(16383) + "\xE2\x82\xAC", true}, // starts inside, ends beyond
        {ascii.left(16383) + "\xE2\x82", false},    // cut short at the end of the data
    };
    for (const auto& [bytes, utf8] : cases)
        EXPECT_EQ(LooksLikeUtf8(bytes), utf8) << bytes.right(20).toHex().constData();
}

} // namespace
} // namespace hl
