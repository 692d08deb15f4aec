#include "settings/proxytype.h"

namespace hl {

QLatin1String ProxyTypeText(ProxyType type) {
    switch (type) {
    case ProxyType::Socks5:
        return QLatin1String("SOCKS5");
    case ProxyType::Socks4A:
        return QLatin1String("SOCKS4A");
    case ProxyType::Socks4:
        return QLatin1String("SOCKS4");
    case ProxyType::Http:
        break;
    }
    return QLatin1String("HTTP");
}

std::optional<ProxyType> ProxyTypeFromText(const QString& text) {
    for (const ProxyType type : {ProxyType::Http, ProxyType::Socks5, ProxyType::Socks4A, ProxyType::Socks4})
        if (text == ProxyTypeText(type)) return type;
    return std::nullopt;
}

} // namespace hl
