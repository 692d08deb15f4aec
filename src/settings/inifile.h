#pragma once
// The in-memory image of an INI file and the rules that read and write its text.
#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <map>
#include <optional>
#include <vector>

namespace hl {

// Sections and their keys in the order they were first set. Section and key names match without
// regard to case (the name first used is kept); values are held exactly as given.
class IniImage {
public:
    // Reads INI text: every line is trimmed; empty lines and lines that begin with ";" are skipped; a
    // line "[name]" opens the section of that (trimmed) name; any other line splits at its first "=" into a
    // trimmed key and a trimmed value. Lines before the first section, lines without "=" and lines with an
    // empty key carry nothing and are dropped. A repeated section continues the first one; a repeated key
    // keeps its first value.
    static IniImage Parse(QStringView text);

    // The file's bytes: a UTF-8 byte-order mark, then per section "[name]", one "key=value" line per
    // key and an empty line, every line ended by CR LF.
    QByteArray Serialize() const;

    std::optional<QString> Value(QAnyStringView section, QAnyStringView key) const;

    // Sets the value, adding the section and the key at the end when they are new. Line breaks in
    // the value become spaces and the value is trimmed, so that it reads back as it is held.
    void SetValue(QAnyStringView section, QAnyStringView key, QStringView value);

    bool IsEmpty() const { return sections_.empty(); }

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
        // Case-folded key -> position in entries. A standard map rather than an implicitly shared
        // Qt container: a copy handed to another thread must share nothing that a write here
        // changes in place.
        std::map<QString, std::size_t> index;
    };

    Section& sectionFor(QAnyStringView name);
    const Section* findSection(QAnyStringView name) const;
    void insertIfNew(Section& section, QAnyStringView key, QStringView value);

    std::vector<Section> sections_;
};

// Whether `value` is a number as settings.ini holds them: decimal digits with an optional sign, or
// "0x" followed by hexadecimal digits; it must fit a 32-bit signed integer. Anything else is nullopt.
std::optional<int> ParseIniInteger(QStringView value);

} // namespace hl
