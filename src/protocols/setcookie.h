#pragma once
// One Set-Cookie header value, read as RFC 6265 (section 5.2) reads it: the name-value pair and the
// attributes a cookie jar acts on. Pure; what the jar then does with it depends on the URI the
// reply came from (see httpcookiejar.h).
#include <QDateTime>
#include <QString>
#include <optional>

namespace hl {

struct SetCookie {
    QString Name;
    QString Value;
    // Max-Age in seconds (zero or negative: expired at once) and Expires; Max-Age wins when both
    // are given. Absent: a session cookie.
    std::optional<qint64> MaxAge;
    std::optional<QDateTime> Expires;
    // Lower case, without a leading "."; absent when the attribute was missing or empty.
    std::optional<QString> Domain;
    // Absent when missing or not starting with "/" (the jar then uses the default path).
    std::optional<QString> Path;
    bool Secure = false;
    bool HttpOnly = false;
    // "Strict", "Lax" or "None"; "Default" when absent or unknown.
    QString SameSite = QStringLiteral("Default");
};

// The longest name plus value kept, and the longest attribute value read (longer ones are
// ignored), as RFC 6265bis sets them.
constexpr qsizetype kMaxCookieNameValueLength = 4096;
constexpr qsizetype kMaxCookieAttributeLength = 1024;

// Nothing when the value is to be ignored: no "=" in the name-value pair, an empty name, a name
// and value longer than kMaxCookieNameValueLength together, or a control character or a character
// outside printable ASCII in the name or value (such a cookie could not be sent back as it came).
// Of attributes given more than once the last counts; unknown attributes are skipped.
std::optional<SetCookie> parseSetCookie(const QString& header);

} // namespace hl
