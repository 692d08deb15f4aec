#include "protocols/ftppassive.h"

#include "protocols/ipaddress.h"

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

std::optional<quint16> parseEpsvReply(const QString& firstLine) {
    const qsizetype open = firstLine.indexOf(QLatin1Char('('));
    if (open < 0 || open + 5 > firstLine.size()) return {};
    const QChar delimiter = firstLine[open + 1];
    // Printable ASCII other than a digit, as RFC 2428 asks of the delimiter.
    if (delimiter.unicode() < 33 || delimiter.unicode() > 126 || delimiter.isDigit()) return {};
    if (firstLine[open + 2] != delimiter || firstLine[open + 3] != delimiter) return {};
    const qsizetype portStart = open + 4;
    const qsizetype portEnd = firstLine.indexOf(delimiter, portStart);
    if (portEnd < 0 || portEnd + 1 >= firstLine.size() || firstLine[portEnd + 1] != QLatin1Char(')'))
        return {};
    const QString digits = firstLine.mid(portStart, portEnd - portStart);
    bool ok = false;
    const uint port = digits.toUInt(&ok, 10);
    if (!ok || digits.size() > 5 || !digits.front().isDigit() || port < 1 || port > 65535) return {};
    return static_cast<quint16>(port);
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
    return IpAddress::fromIPv4(address).toString();
}

} // namespace hl
