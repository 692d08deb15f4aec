#pragma once
// The date of a cookie's Expires attribute, read the forgiving way RFC 6265 (section 5.1.1)
// prescribes: the first time, day of month, month name and year found among the tokens, in any
// order, whatever the rest of the text holds. Pure; bounded by the length of the text.
#include <QDateTime>
#include <QString>
#include <optional>

namespace hl {

// The date as UTC, or nothing when a part is missing or out of range (day 1-31 and valid in its
// month, hour 0-23, minute and second 0-59, year from 1601; two-digit years 70-99 mean 19xx,
// 00-69 mean 20xx).
std::optional<QDateTime> parseCookieDate(const QString& text);

} // namespace hl
