#pragma once
// How one download applies the proxy line it took: HTTP-proxy settings for the client, a SOCKS
// tunnel for the transport, or nothing (the download goes direct).
#include "engine/proxyline.h"
#include "protocols/idsocks.h"

#include <variant>

namespace hl {

// The HTTP client's proxy parameters (and the FTP client's HTTP-proxy mode) for one line.
struct HttpProxySettings {
    QString ProxyServer;
    quint16 ProxyPort = 0;
    QString ProxyUsername;
    QString ProxyPassword;
};

using ProxyRoute = std::variant<std::monostate, HttpProxySettings, TIdSocksInfo>;

// monostate when the line names no proxy; otherwise the settings for the run's proxy type, with
// the type's default port when the line's port is not a number.
ProxyRoute proxyRouteFor(const ProxyLineFields& line, ProxyType type);

} // namespace hl
