#include "protocols/setcookie.h"

#include "protocols/cookiedate.h"

#include <limits>

namespace hl {

namespace {

QString trimWhitespace(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin).toString();
}

// Printable ASCII (and tab inside a value): what a request head carries unchanged.
bool sendable(const QString& text, bool tabAllowed) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\t' && tabAllowed) continue;
        if (u < 0x20 || u > 0x7E) return false;
    }
    return true;
}

// delta-seconds with an optional leading "-"; other text is not a Max-Age.
std::optional<qint64> parseMaxAge(const QString& value) {
    if (value.isEmpty()) return std::nullopt;
    const bool negative = value.startsWith(QLatin1Char('-'));
    const QStringView digits = QStringView(value).mid(negative ? 1 : 0);
    if (digits.isEmpty()) return std::nullopt;
    qint64 seconds = 0;
    constexpr qint64 kCap = std::numeric_limits<qint64>::max() / 10 - 10;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        // Any age beyond this is "never" for the jar; stop counting instead of overflowing.
        if (seconds < kCap) seconds = seconds * 10 + (c.unicode() - '0');
    }
    return negative ? -seconds : seconds;
}

void applyAttribute(SetCookie& cookie, const QString& name, const QString& value) {
    if (value.size() > kMaxCookieAttributeLength) return;
    const auto is = [&name](const char* attribute) {
        return name.compare(QLatin1String(attribute), Qt::CaseInsensitive) == 0;
    };
    if (is("expires")) {
        if (const auto date = parseCookieDate(value)) cookie.Expires = date;
    } else if (is("max-age")) {
        if (const auto age = parseMaxAge(value)) cookie.MaxAge = age;
    } else if (is("domain")) {
        if (value.isEmpty()) return;
        const QString domain = value.startsWith(QLatin1Char('.')) ? value.mid(1) : value;
        cookie.Domain = domain.toLower();
    } else if (is("path")) {
        cookie.Path = value.startsWith(QLatin1Char('/')) ? std::optional<QString>(value) : std::nullopt;
    } else if (is("secure")) {
        cookie.Secure = true;
    } else if (is("httponly")) {
        cookie.HttpOnly = true;
    } else if (is("samesite")) {
        cookie.SameSite = QStringLiteral("Default");
        for (const char* known : {"Strict", "Lax", "None"})
            if (value.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
                cookie.SameSite = QLatin1String(known);
    }
}

} // namespace

std::optional<SetCookie> parseSetCookie(const QString& header) {
    const qsizetype semicolon = header.indexOf(QLatin1Char(';'));
    const QStringView pair = QStringView(header).left(semicolon < 0 ? header.size() : semicolon);
    const qsizetype equals = pair.indexOf(QLatin1Char('='));
    if (equals < 0) return std::nullopt;
    SetCookie cookie;
    cookie.Name = trimWhitespace(pair.left(equals));
    cookie.Value = trimWhitespace(pair.mid(equals + 1));
    if (cookie.Name.isEmpty() || cookie.Name.size() + cookie.Value.size() > kMaxCookieNameValueLength)
        return std::nullopt;
    if (!sendable(cookie.Name, false) || !sendable(cookie.Value, true)) return std::nullopt;
    if (semicolon < 0) return cookie;

    for (const QStringView av : QStringView(header).mid(semicolon + 1).split(QLatin1Char(';'))) {
        const qsizetype at = av.indexOf(QLatin1Char('='));
        const QString name = trimWhitespace(at < 0 ? av : av.left(at));
        const QString value = at < 0 ? QString() : trimWhitespace(av.mid(at + 1));
        if (!name.isEmpty()) applyAttribute(cookie, name, value);
    }
    return cookie;
}

} // namespace hl
