#include "protocols/httpranges.h"

#include <optional>

namespace hl {

namespace {

bool allDigits(QStringView text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// start-end, start- or -suffix, without blanks; nothing for any other text.
std::optional<QString> canonicalRange(QStringView range) {
    const qsizetype dash = range.indexOf(QLatin1Char('-'));
    if (dash < 0) return std::nullopt;
    const QStringView start = range.left(dash).trimmed();
    const QStringView end = range.mid(dash + 1).trimmed();
    const bool valid =
        start.isEmpty() ? allDigits(end) : allDigits(start) && (end.isEmpty() || allDigits(end));
    if (!valid) return std::nullopt;
    return start.toString() + QLatin1Char('-') + end.toString();
}

} // namespace

HttpRanges& HttpRanges::operator=(const QString& text) {
    unit_ = QStringLiteral("bytes");
    ranges_.clear();
    QStringView list = QStringView(text).trimmed();
    const qsizetype equals = list.indexOf(QLatin1Char('='));
    if (equals >= 0) {
        const QStringView unit = list.left(equals).trimmed();
        if (!unit.isEmpty()) unit_ = unit.toString();
        list = list.mid(equals + 1);
    }
    for (const QStringView entry : list.split(QLatin1Char(','))) {
        if (const auto range = canonicalRange(entry)) ranges_.append(*range);
    }
    return *this;
}

QString HttpRanges::text() const {
    return ranges_.isEmpty() ? QString() : unit_ + QLatin1Char('=') + ranges_.join(QLatin1Char(','));
}

} // namespace hl
