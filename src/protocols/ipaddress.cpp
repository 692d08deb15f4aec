#include "protocols/ipaddress.h"

#include <QList>
#include <arpa/inet.h>

namespace hl {

IpAddress IpAddress::fromIPv4(quint32 address) {
    IpAddress result;
    result.ipv4_ = address;
    return result;
}

IpAddress IpAddress::fromIPv6(const std::array<quint8, 16>& bytes) {
    IpAddress result;
    result.family_ = Family::IPv6;
    result.ipv6_ = bytes;
    return result;
}

std::optional<IpAddress> IpAddress::parse(const QString& literal) {
    if (const auto ipv4 = parseIPv4Literal(literal)) return fromIPv4(*ipv4);
    QString text = literal;
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
        text = text.mid(1, text.size() - 2);
    if (!text.contains(QLatin1Char(':'))) return std::nullopt;
    std::array<quint8, 16> bytes{};
    if (::inet_pton(AF_INET6, text.toLatin1().constData(), bytes.data()) != 1) return std::nullopt;
    return fromIPv6(bytes);
}

QString IpAddress::toString() const {
    if (!isIPv6()) {
        return QStringLiteral("%1.%2.%3.%4")
            .arg(ipv4_ >> 24)
            .arg((ipv4_ >> 16) & 0xFF)
            .arg((ipv4_ >> 8) & 0xFF)
            .arg(ipv4_ & 0xFF);
    }
    char text[INET6_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET6, ipv6_.data(), text, sizeof text);
    return QString::fromLatin1(text);
}

std::optional<quint32> parseIPv4Literal(const QString& text) {
    const auto parts = QStringView(text).split(QLatin1Char('.'));
    if (parts.size() != 4) return {};
    quint32 address = 0;
    for (const auto& part : parts) {
        if (part.isEmpty() || part.size() > 3) return {};
        for (QChar c : part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return {};
        const uint value = part.toUInt();
        if (value > 255) return {};
        address = (address << 8) | value;
    }
    return address;
}

QString bracketedHost(const QString& host) {
    // Already in brackets means one pair around the whole host: "[:x" still needs its own, or its
    // first ":" would end it when the authority is read again.
    const bool bracketed = host.startsWith(QLatin1Char('[')) && host.indexOf(QLatin1Char(']')) == host.size() - 1;
    if (!host.contains(QLatin1Char(':')) || bracketed) return host;
    return QLatin1Char('[') + host + QLatin1Char(']');
}

QString hostAndPort(const QString& host, quint16 port) {
    return bracketedHost(host) + QLatin1Char(':') + QString::number(port);
}

} // namespace hl
