#pragma once
// Letter case as the link grabber sees it: only the ASCII letters A to Z have another case; every
// other character stays as it is (a Unicode case fold would let look-alike letters match).
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

namespace hl {

// `text` with A-Z mapped to a-z.
QString AsciiLower(QStringView text);

// Whether `text` begins with `lowerPrefix` (written in lower case) when A-Z count as a-z.
bool StartsWithAsciiCaseless(QStringView text, QLatin1StringView lowerPrefix);

// The first position at or after `from` where `lowerNeedle` (written in lower case, not empty)
// occurs in `text` when A-Z count as a-z; -1 when it does not. Reads each character of `text` a
// bounded number of times, so repeated searches that move past each match stay linear.
qsizetype IndexOfAsciiCaseless(QStringView text, QLatin1StringView lowerNeedle, qsizetype from = 0);

} // namespace hl
