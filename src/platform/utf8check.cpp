#include "platform/utf8check.h"

#include <cstdint>
#include <cstring>

namespace hl {
namespace {

constexpr qsizetype kGuessWindow = 16384;

// The length of the valid multi-byte sequence that starts at `at`, or 0. The first byte is above 127.
qsizetype validSequenceLength(QByteArrayView bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    qsizetype length;
    char32_t codePoint;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0; // a continuation byte, an overlong lead (C0, C1) or beyond the Unicode range
    }
    if (at + length > bytes.size()) return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF) return 0;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
    return length;
}

} // namespace

bool IsValidUtf8(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size()) {
        // Lists are mostly ASCII: skip eight plain bytes at a time.
        if (i + 8 <= bytes.size()) {
            std::uint64_t eight;
            std::memcpy(&eight, bytes.data() + i, sizeof eight);
            if ((eight & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const qsizetype length = validSequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool LooksLikeUtf8(QByteArrayView bytes) {
    const qsizetype window = qMin(bytes.size(), kGuessWindow);
    for (qsizetype i = 0; i < window; ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) return validSequenceLength(bytes, i) > 0;
    return false;
}

} // namespace hl
