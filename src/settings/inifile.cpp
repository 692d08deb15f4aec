#include "settings/inifile.h"

#include <limits>

namespace hl {
namespace {

// Trims every character up to the space, as the INI reading rules demand (tabs and controls too).
QStringView trimmed(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.sliced(begin, end - begin);
}

QString foldedName(QAnyStringView name) {
    return name.toString().toCaseFolded();
}

// The value of an ASCII digit or letter in bases up to 16, or -1.
int digitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

std::optional<int> parseDigits(QStringView digits, int base, bool negative) {
    if (digits.isEmpty()) return std::nullopt;
    qint64 magnitude = 0;
    for (const QChar c : digits) {
        const int digit = digitValue(c);
        if (digit < 0 || digit >= base) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1) return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

IniImage IniImage::Parse(QStringView text) {
    IniImage image;
    Section* current = nullptr;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QStringView line = trimmed(text.sliced(start, end - start));
        start = end +
                (end + 1 < text.size() && text[end] == QLatin1Char('\r') && text[end + 1] == QLatin1Char('\n')
                     ? 2
                     : 1);

        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = &image.sectionFor(trimmed(line.sliced(1, line.size() - 2)));
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (current == nullptr || equals < 0) continue;
        const QStringView key = trimmed(line.first(equals));
        if (!key.isEmpty()) image.insertIfNew(*current, key, trimmed(line.sliced(equals + 1)));
    }
    return image;
}

QByteArray IniImage::Serialize() const {
    QString text;
    for (const Section& section : sections_) {
        text += QLatin1Char('[') + section.name + QLatin1String("]\r\n");
        for (const Entry& entry : section.entries)
            text += entry.key + QLatin1Char('=') + entry.value + QLatin1String("\r\n");
        text += QLatin1String("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

std::optional<QString> IniImage::Value(QAnyStringView section, QAnyStringView key) const {
    const Section* found = findSection(section);
    if (found == nullptr) return std::nullopt;
    const auto at = found->index.find(foldedName(key));
    if (at == found->index.end()) return std::nullopt;
    return found->entries[at->second].value;
}

void IniImage::SetValue(QAnyStringView section, QAnyStringView key, QStringView value) {
    QString cleaned = value.toString();
    cleaned.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    cleaned = trimmed(cleaned).toString();

    Section& target = sectionFor(section);
    const auto at = target.index.find(foldedName(key));
    if (at != target.index.end())
        target.entries[at->second].value = std::move(cleaned);
    else
        insertIfNew(target, key, cleaned);
}

IniImage::Section& IniImage::sectionFor(QAnyStringView name) {
    for (Section& section : sections_)
        if (QAnyStringView::compare(section.name, name, Qt::CaseInsensitive) == 0) return section;
    sections_.push_back(Section{name.toString(), {}, {}});
    return sections_.back();
}

const IniImage::Section* IniImage::findSection(QAnyStringView name) const {
    for (const Section& section : sections_)
        if (QAnyStringView::compare(section.name, name, Qt::CaseInsensitive) == 0) return &section;
    return nullptr;
}

void IniImage::insertIfNew(Section& section, QAnyStringView key, QStringView value) {
    const QString folded = foldedName(key);
    if (!section.index.emplace(folded, section.entries.size()).second) return;
    section.entries.push_back(Entry{key.toString(), value.toString()});
}

std::optional<int> ParseIniInteger(QStringView value) {
    if (value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return parseDigits(value.sliced(2), 16, false);
    if (value.startsWith(QLatin1Char('-'))) return parseDigits(value.sliced(1), 10, true);
    if (value.startsWith(QLatin1Char('+'))) return parseDigits(value.sliced(1), 10, false);
    return parseDigits(value, 10, false);
}

} // namespace hl
