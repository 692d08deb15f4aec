#pragma once
// A tunnel through an HTTP proxy: the transport connects to the proxy and asks it with CONNECT for
// a byte stream to the target. The FTP client sets it like a SOCKS tunnel, so its control
// connection and every data connection each get their own CONNECT.
#include "protocols/connectiontunnel.h"

#include <QByteArray>
#include <QString>

namespace hl {

class HttpConnectTunnel final : public ConnectionTunnel {
public:
    static constexpr quint16 kDefaultPort = 8080;
    // No proxy needs more header lines than this to answer a CONNECT.
    static constexpr int kMaxHeaderLines = 255;

    // The proxy; an empty host means no tunnel.
    QString Host;
    quint16 Port = kDefaultPort;
    // With a user name, every CONNECT carries Basic credentials for the proxy.
    QString Username;
    QString Password;

    std::unique_ptr<ConnectionTunnel> clone() const override;
    bool enabled() const override { return !Host.isEmpty(); }
    QString serverHost() const override { return Host; }
    quint16 serverPort() const override { return Port; }
    // Writes the CONNECT request and reads the proxy's answer up to its empty line; a 2xx status
    // opens the tunnel. Any other status throws EIdHTTPProtocolException with the proxy's status
    // line as its message; the transport's errors (time-out, closed connection) pass unchanged.
    void handshake(TIdIOHandlerSocket& transport, const QString& targetHost, quint16 targetPort) override;

    // The request written for a target, for tests and the handshake alike.
    QByteArray connectRequest(const QString& targetHost, quint16 targetPort) const;
};

} // namespace hl
