#include "protocols/ftppassive.h"

#include "protocols/hostresolver.h"

#include <QStringList>

namespace hl {

std::optional<PassiveEndpoint> parsePasvReply(const QString& firstLine) {
    const QString line = firstLine.trimmed();
    const qsizetype open = line.indexOf(QLatin1Char('('));
    const qsizetype start = open >= 0 ? open + 1 : line.lastIndexOf(QLatin1Char(' ')) + 1;
    const qsizetype close = line.indexOf(QLatin1Char(')'), start);
    const QStringList parts = line.mid(start, close >= 0 ? close - start : -1).split(QLatin1Char(','));
    if (parts.size() < 6) return {};

    quint32 numbers[6];
    for (int i = 0; i < 6; ++i) {
        const QString part = parts[i].trimmed();
        bool ok = false;
        const uint value = part.toUInt(&ok);
        if (!ok || part.isEmpty() || part.size() > 3 || value > 255 || !part[0].isDigit()) return {};
        numbers[i] = value;
    }
    PassiveEndpoint endpoint;
    endpoint.address = (numbers[0] << 24) | (numbers[1] << 16) | (numbers[2] << 8) | numbers[3];
    endpoint.port = static_cast<quint16>(numbers[4] * 256 + numbers[5]);
    if (endpoint.port == 0) return {};
    return endpoint;
}

bool isPrivateIPv4(quint32 address) {
    const quint32 first = address >> 24;
    const quint32 second = (address >> 16) & 0xFF;
    return first == 127 || first == 10 || (first == 169 && second == 254) ||
           (first == 192 && second == 168) || (first == 172 && second >= 16 && second <= 31);
}

QString passiveDataHost(quint32 reportedAddress, const QString& controlPeer) {
    if (!isPrivateIPv4(reportedAddress)) return ipv4Text(reportedAddress);
    const auto peer = parseIPv4Literal(controlPeer);
    if (peer && isPrivateIPv4(*peer)) return ipv4Text(reportedAddress);
    return controlPeer;
}

QString ipv4Text(quint32 address) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

} // namespace hl
