#include "grabber/asciicase.h"

namespace hl {
namespace {

constexpr char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// Whether text at `at` holds the needle's characters after its first one.
bool restMatches(QStringView text, qsizetype at, QLatin1StringView lowerNeedle) {
    for (qsizetype k = 1; k < lowerNeedle.size(); ++k)
        if (asciiLower(text[at + k].unicode()) != char16_t(uchar(lowerNeedle[k].toLatin1()))) return false;
    return true;
}

} // namespace

QString AsciiLower(QStringView text) {
    QString result(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    for (const QChar c : text)
        *out++ = asciiLower(c.unicode());
    return result;
}

bool StartsWithAsciiCaseless(QStringView text, QLatin1StringView lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (qsizetype k = 0; k < lowerPrefix.size(); ++k)
        if (asciiLower(text[k].unicode()) != char16_t(uchar(lowerPrefix[k].toLatin1()))) return false;
    return true;
}

qsizetype IndexOfAsciiCaseless(QStringView text, QLatin1StringView lowerNeedle, qsizetype from) {
    const qsizetype last = text.size() - lowerNeedle.size();
    const QChar first = lowerNeedle[0];
    const QChar firstUpper = first.toUpper();
    // Needles that begin with a character without case (" href=", "<loc>") are found with the
    // vectorised single-character search; the rest of the needle is compared at each hit.
    if (first == firstUpper) {
        for (qsizetype at = text.indexOf(first, from); at >= 0 && at <= last;
             at = text.indexOf(first, at + 1))
            if (restMatches(text, at, lowerNeedle)) return at;
        return -1;
    }
    for (qsizetype at = qMax<qsizetype>(from, 0); at <= last; ++at)
        if (asciiLower(text[at].unicode()) == first.unicode() && restMatches(text, at, lowerNeedle))
            return at;
    return -1;
}

} // namespace hl
