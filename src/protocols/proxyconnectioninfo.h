#pragma once
// The HTTP proxy a client sends its requests through.
#include "protocols/httpauthentication.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace hl {

struct TIdProxyConnectionInfo {
    // Empty: no HTTP proxy.
    QString ProxyServer;
    quint16 ProxyPort = 0;
    // Used only in answer to a 407 challenge.
    QString ProxyUsername;
    QString ProxyPassword;
    // Created on the first accepted 407 challenge; its value goes out as Proxy-Authorization.
    std::unique_ptr<HttpAuthenticator> Authentication;

    bool enabled() const { return !ProxyServer.isEmpty(); }
};

} // namespace hl
