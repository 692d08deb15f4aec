#pragma once
// SOCKS tunnel settings, set on a transport as its TransparentProxy: the transport connects to
// Host:Port and lets these settings run the SOCKS 4, 4A or 5 handshake for the target.
#include "protocols/connectiontunnel.h"
#include "protocols/sockshandshake.h"

namespace hl {

class TIdSocksInfo final : public ConnectionTunnel {
public:
    static constexpr quint16 kDefaultPort = 1080;

    // svNoSocks disables the tunnel.
    TSocksVersion Version = TSocksVersion::svNoSocks;
    QString Host;
    quint16 Port = kDefaultPort;
    // SOCKS 4: the user id. SOCKS 5: user name and password, sent whenever Username is not empty.
    QString Username;
    QString Password;

    std::unique_ptr<ConnectionTunnel> clone() const override { return std::make_unique<TIdSocksInfo>(*this); }
    bool enabled() const override { return Version != TSocksVersion::svNoSocks; }
    QString serverHost() const override { return Host; }
    quint16 serverPort() const override { return Port; }

    // Blocks on the transport, bounded by its ReadTimeout. SOCKS 4 resolves the target through the
    // transport's Resolver first, so an unknown name fails (11001) before anything is sent. Throws
    // the errors of socksexceptions.h; a SOCKS 5 reply that cannot be read for any reason is
    // EIdSocksServerRespondError, a SOCKS 4 reply's read error is raised unchanged. On success the
    // whole reply has been consumed and the next byte read is the target's. The transport's
    // OnReceived hook does not see the handshake's bytes.
    void handshake(TIdIOHandlerSocket& transport, const QString& targetHost, quint16 targetPort) override;
};

} // namespace hl
