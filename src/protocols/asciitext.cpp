#include "protocols/asciitext.h"

namespace hl {

QByteArray toSevenBitAscii(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        bytes[i] = unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return bytes;
}

} // namespace hl
