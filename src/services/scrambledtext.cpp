#include "services/scrambledtext.h"

#include <QByteArray>

namespace hl {
namespace {

// Combines every byte with a fixed pseudo-random stream (a linear congruential generator with a
// fixed seed); applying it twice gives the bytes back.
QByteArray combineWithKeyStream(QByteArray bytes) {
    quint32 state = 0x4C554D42; // "LUMB"
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(static_cast<quint8>(byte) ^ static_cast<quint8>(state >> 16));
    }
    return bytes;
}

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

} // namespace

QString ScrambleText(const QString& text) {
    return QString::fromLatin1(combineWithKeyStream(text.toUtf8()).toHex().toUpper());
}

QString UnscrambleText(const QString& scrambled) {
    if (scrambled.size() % 2 != 0) return {};
    for (const QChar c : scrambled)
        if (!isHexDigit(c)) return {};
    return QString::fromUtf8(combineWithKeyStream(QByteArray::fromHex(scrambled.toLatin1())));
}

} // namespace hl
