#include "protocols/cookiedate.h"

#include <QStringList>

namespace hl {

namespace {

bool isDelimiter(QChar c) {
    const char16_t u = c.unicode();
    return u == 0x09 || (u >= 0x20 && u <= 0x2F) || (u >= 0x3B && u <= 0x40) || (u >= 0x5B && u <= 0x60) ||
           (u >= 0x7B && u <= 0x7E);
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QStringList dateTokens(const QString& text) {
    QStringList tokens;
    QString current;
    for (const QChar c : text) {
        if (isDelimiter(c)) {
            if (!current.isEmpty()) tokens.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty()) tokens.append(current);
    return tokens;
}

// Reads minDigits to maxDigits digits from token at pos; the digits must be followed by the end of
// the token or by a character that is not a digit.
std::optional<int> readNumber(const QString& token, qsizetype& pos, int minDigits, int maxDigits) {
    int value = 0;
    int digits = 0;
    while (pos < token.size() && isDigit(token.at(pos)) && digits < maxDigits) {
        value = value * 10 + (token.at(pos).unicode() - '0');
        ++pos;
        ++digits;
    }
    if (digits < minDigits) return std::nullopt;
    if (pos < token.size() && isDigit(token.at(pos))) return std::nullopt;
    return value;
}

// hms-time: three one- or two-digit fields separated by ":", then anything that starts with a
// non-digit.
std::optional<QTime> readTime(const QString& token) {
    qsizetype pos = 0;
    int fields[3];
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= token.size() || token.at(pos) != QLatin1Char(':')) return std::nullopt;
            ++pos;
        }
        const auto field = readNumber(token, pos, 1, 2);
        if (!field) return std::nullopt;
        fields[i] = *field;
    }
    if (fields[0] > 23 || fields[1] > 59 || fields[2] > 59) return std::optional<QTime>(QTime());
    return QTime(fields[0], fields[1], fields[2]);
}

std::optional<int> readLeadingNumber(const QString& token, int minDigits, int maxDigits) {
    qsizetype pos = 0;
    return readNumber(token, pos, minDigits, maxDigits);
}

std::optional<int> readMonth(const QString& token) {
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    if (token.size() < 3) return std::nullopt;
    const QString prefix = token.left(3).toLower();
    for (int i = 0; i < 12; ++i)
        if (prefix == QLatin1String(kMonths[i])) return i + 1;
    return std::nullopt;
}

} // namespace

std::optional<QDateTime> parseCookieDate(const QString& text) {
    std::optional<QTime> time;
    std::optional<int> day;
    std::optional<int> month;
    std::optional<int> year;
    for (const QString& token : dateTokens(text)) {
        if (!time) {
            if ((time = readTime(token))) continue;
        }
        if (!day) {
            if ((day = readLeadingNumber(token, 1, 2))) continue;
        }
        if (!month) {
            if ((month = readMonth(token))) continue;
        }
        if (!year) year = readLeadingNumber(token, 2, 4);
    }
    if (!time || !day || !month || !year || !time->isValid()) return std::nullopt;
    int fullYear = *year;
    if (fullYear >= 70 && fullYear <= 99) fullYear += 1900;
    if (fullYear >= 0 && fullYear <= 69) fullYear += 2000;
    if (*day < 1 || *day > 31 || fullYear < 1601) return std::nullopt;
    const QDate date(fullYear, *month, *day);
    if (!date.isValid()) return std::nullopt;
    return QDateTime(date, *time, Qt::UTC);
}

} // namespace hl
