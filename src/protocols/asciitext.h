#pragma once
// Text that goes on the wire as 7-bit ASCII (request heads, SOCKS names and credentials).
#include <QByteArray>
#include <QString>

namespace hl {

// One byte per UTF-16 code unit: the unit itself below 0x80, "?" for everything else.
QByteArray toSevenBitAscii(const QString& text);

} // namespace hl
