#include "protocols/httpreplyparser.h"

#include <QStringList>
#include <limits>

namespace hl {

namespace {

constexpr qint64 kMaxInt64 = std::numeric_limits<qint64>::max();

// Non-negative decimal digits only, without overflow.
std::optional<qint64> parseDecimal(QStringView text) {
    if (text.isEmpty()) return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        const int digit = c.unicode() - '0';
        if (value > (kMaxInt64 - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

QString decodeHeaderBytes(const QByteArray& bytes) {
    QString text = QString::fromLatin1(bytes);
    for (QChar& c : text)
        if (c.unicode() >= 0x80) c = QChar::ReplacementCharacter;
    return text;
}

int parseResponseCode(const QString& statusLine) {
    const QStringList words = statusLine.split(QLatin1Char(' '));
    if (words.size() < 2) return -1;
    QStringView code = words[1];
    const qsizetype dot = code.indexOf(QLatin1Char('.'));
    if (dot >= 0) code = code.left(dot);
    const auto value = parseDecimal(code);
    return value && *value <= std::numeric_limits<int>::max() ? static_cast<int>(*value) : -1;
}

QString parseResponseVersion(const QString& statusLine) {
    const QString version = statusLine.mid(5, 3);
    return version == QLatin1String("1.0") || version == QLatin1String("1.1") ? version : QString();
}

qint64 parseContentLength(const QString& value) {
    return parseDecimal(QStringView(value).trimmed()).value_or(-1);
}

std::optional<qint64> parseChunkSize(const QByteArray& line) {
    const qsizetype semicolon = line.indexOf(';');
    const QByteArray digits = (semicolon < 0 ? line : line.left(semicolon)).trimmed();
    if (digits.isEmpty()) return std::nullopt;
    qint64 value = 0;
    for (const char c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0 || value > (kMaxInt64 >> 4)) return std::nullopt;
        value = (value << 4) | digit;
    }
    return value;
}

QString headerParameter(const QString& value, const QString& name) {
    const QStringList parts = value.split(QLatin1Char(';'));
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (equals < 0 || QStringView(part).left(equals).trimmed().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QString parameter = part.mid(equals + 1).trimmed();
        if (parameter.size() >= 2 && parameter.startsWith(QLatin1Char('"')) &&
            parameter.endsWith(QLatin1Char('"')))
            parameter = parameter.mid(1, parameter.size() - 2);
        return parameter;
    }
    return {};
}

bool headerHasToken(const QString& value, const QString& token) {
    for (const QStringView item : QStringView(value).split(QLatin1Char(',')))
        if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0) return true;
    return false;
}

TIdContentRange parseContentRange(const QString& value) {
    TIdContentRange range;
    const QString text = value.trimmed();
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space < 0) return range;
    range.Units = text.left(space);
    const QStringView rangeText = QStringView(text).mid(space + 1).trimmed();
    const qsizetype slash = rangeText.indexOf(QLatin1Char('/'));
    const QStringView span = slash < 0 ? rangeText : rangeText.left(slash);
    if (slash >= 0) range.InstanceLength = parseDecimal(rangeText.mid(slash + 1).trimmed()).value_or(-1);
    const qsizetype dash = span.indexOf(QLatin1Char('-'));
    if (dash > 0) {
        const auto start = parseDecimal(span.left(dash).trimmed());
        const auto end = parseDecimal(span.mid(dash + 1).trimmed());
        if (start && end) {
            range.Start = *start;
            range.End = *end;
        }
    }
    return range;
}

} // namespace hl
