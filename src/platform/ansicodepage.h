#pragma once
// The system's "ANSI code page": Windows-1252, which is Latin-1 except for the printable characters
// it puts at 0x80 to 0x9F. Files written by other programs in that code page read back intact.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace hl {

// Every byte decodes to one character; the five bytes the code page leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number, so nothing is lost.
QString DecodeAnsi(QByteArrayView bytes);

// The inverse of DecodeAnsi; a character the code page cannot hold becomes "?" (one "?" for a
// surrogate pair).
QByteArray EncodeAnsi(QStringView text);

} // namespace hl
