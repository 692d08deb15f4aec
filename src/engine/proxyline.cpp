#include "engine/proxyline.h"

#include "protocols/ipaddress.h"

#include <QStringList>

namespace hl {

namespace {
constexpr quint16 kDefaultHttpProxyPort = 8080;
constexpr quint16 kDefaultSocksPort = 1080;
} // namespace

QString proxySchemeName(ProxyType type) {
    switch (type) {
    case ProxyType::Socks5:
        return QStringLiteral("socks5");
    case ProxyType::Socks4A:
        return QStringLiteral("socks4a");
    case ProxyType::Socks4:
        return QStringLiteral("socks4");
    case ProxyType::Http:
        break;
    }
    return QStringLiteral("http");
}

std::optional<ProxyType> proxyTypeFromScheme(const QString& name) {
    for (ProxyType type : {ProxyType::Http, ProxyType::Socks5, ProxyType::Socks4A, ProxyType::Socks4})
        if (name == proxySchemeName(type)) return type;
    return std::nullopt;
}

ProxyLineFields parseProxyLine(const QString& line) {
    ProxyLineFields fields;
    fields.ProxySatir = line;
    if (!line.contains(QLatin1Char(':'))) return fields;
    // An IPv6 literal has colons of its own: in brackets, the host ends at the "]".
    const qsizetype close = line.startsWith(QLatin1Char('[')) ? line.indexOf(QLatin1Char(']')) : -1;
    const qsizetype hostEnd = close > 0 ? close + 1 : line.indexOf(QLatin1Char(':'));
    fields.ProxyHost = close > 0 ? line.mid(1, close - 1) : line.left(hostEnd);
    if (line.mid(hostEnd, 1) != QLatin1String(":")) return fields;
    const QStringList parts = line.mid(hostEnd + 1).split(QLatin1Char(':'));
    fields.ProxyPort = parts.at(0);
    if (parts.size() >= 2) fields.ProxyUser = parts.at(1);
    if (parts.size() >= 3) fields.ProxyPass = parts.at(2);
    return fields;
}

quint16 proxyPortOrDefault(const QString& portField, ProxyType type) {
    const quint16 fallback = type == ProxyType::Http ? kDefaultHttpProxyPort : kDefaultSocksPort;
    const QString digits = portField.trimmed();
    if (digits.isEmpty()) return fallback;
    int value = 0;
    for (QChar c : digits) {
        // Past 65535 the field is no port, whatever follows.
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return fallback;
        value = value * 10 + (c.unicode() - u'0');
        if (value > 65535) return fallback;
    }
    return value >= 1 ? static_cast<quint16>(value) : fallback;
}

std::optional<QString> buildProxyLine(const QString& host, int port, const QString& user,
                                      const QString& password) {
    const QString trimmedHost = host.trimmed();
    if (trimmedHost.isEmpty()) return std::nullopt;
    QString line = bracketedHost(trimmedHost) + QLatin1Char(':') + QString::number(port);
    if (!user.isEmpty()) line += QLatin1Char(':') + user + QLatin1Char(':') + password;
    return line;
}

} // namespace hl
