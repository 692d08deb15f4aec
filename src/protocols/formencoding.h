#pragma once
// The body of a form post (application/x-www-form-urlencoded) from the caller's "name=value" lines.
// Pure.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace hl {

// One form field or name: space as "+"; letters, digits and "*", "-", ".", "_" as they are; every
// other character as its UTF-8 bytes, each "%" and two upper-case hexadecimal digits. A lone
// surrogate, which UTF-8 cannot carry, goes as the encoded character reference "&#" code ";".
QByteArray encodeFormText(const QString& text);

// The lines, each followed by a line break, trimmed at both ends, with every line break then
// replaced by "&". With encodeFields each line is split at its first "=" and both sides are
// encoded (a line without "=" is encoded whole); without it the lines go as UTF-8 as they are.
QByteArray encodeFormLines(const QStringList& lines, bool encodeFields);

} // namespace hl
