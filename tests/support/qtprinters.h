#pragma once
// Readable GoogleTest output for Qt byte arrays: the bytes as an escaped string instead of a list
// of characters; for Qt text, as UTF-8 in quotes; for addresses, their text.
#include "protocols/ipaddress.h"

#include <QByteArray>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"';
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r')
            *out << "\\r";
        else if (c == '\n')
            *out << "\\n";
        else if (c == '"' || c == '\\')
            *out << '\\' << c;
        else if (u < 0x20 || u >= 0x7F)
            *out << "\\x"
                 << "0123456789abcdef"[u >> 4] << "0123456789abcdef"[u & 0xF];
        else
            *out << c;
    }
    *out << '"';
}

namespace hl {
inline void PrintTo(const IpAddress& address, std::ostream* out) {
    *out << address.toString().toStdString();
}
} // namespace hl
