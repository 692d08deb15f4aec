#include "engine/proxyroute.h"

namespace hl {

namespace {

TSocksVersion socksVersionFor(ProxyType type) {
    switch (type) {
    case ProxyType::Socks5:
        return TSocksVersion::svSocks5;
    case ProxyType::Socks4A:
        return TSocksVersion::svSocks4A;
    case ProxyType::Socks4:
        return TSocksVersion::svSocks4;
    case ProxyType::Http:
        break;
    }
    return TSocksVersion::svNoSocks;
}

} // namespace

ProxyRoute proxyRouteFor(const ProxyLineFields& line, ProxyType type) {
    if (!line.namesProxy()) return std::monostate{};
    const quint16 port = proxyPortOrDefault(line.ProxyPort, type);
    if (type == ProxyType::Http)
        return HttpProxySettings{line.ProxyHost, port, line.ProxyUser, line.ProxyPass};
    TIdSocksInfo socks;
    socks.Version = socksVersionFor(type);
    socks.Host = line.ProxyHost;
    socks.Port = port;
    socks.Username = line.ProxyUser;
    socks.Password = line.ProxyPass;
    return socks;
}

} // namespace hl
