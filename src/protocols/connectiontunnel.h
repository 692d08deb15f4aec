#pragma once
// A tunnel that a transport runs as part of connecting: the transport reaches the tunnel's server
// instead of the target, then lets the tunnel negotiate the way to the target (SOCKS, CONNECT).
#include <QString>
#include <QtGlobal>
#include <memory>

namespace hl {

class TIdIOHandlerSocket;

class ConnectionTunnel {
public:
    virtual ~ConnectionTunnel() = default;
    // A transport keeps its own copy of the tunnel settings, taken when they are assigned.
    virtual std::unique_ptr<ConnectionTunnel> clone() const = 0;
    // False when the settings describe no tunnel; the transport then connects directly.
    virtual bool enabled() const = 0;
    virtual QString serverHost() const = 0;
    virtual quint16 serverPort() const = 0;
    // Runs the handshake on the transport, which is connected to the tunnel's server and still
    // unencrypted. Throws the tunnel's own errors; the transport closes the connection then.
    virtual void handshake(TIdIOHandlerSocket& transport, const QString& targetHost, quint16 targetPort) = 0;
};

} // namespace hl
