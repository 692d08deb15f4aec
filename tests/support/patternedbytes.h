#pragma once
// Test payloads that do not compress to nothing and differ at every offset, so that a lost,
// repeated or reordered block cannot go unnoticed.
#include <QByteArray>

namespace hl::test {

inline QByteArray patternedBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (qsizetype i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<char>(x);
    }
    return bytes;
}

} // namespace hl::test
