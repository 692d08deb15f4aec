#pragma once
// The HTTP CONNECT tunnel, the one way through an HTTP proxy to a byte stream: the transport
// connects to the proxy and asks it with CONNECT for the target. The HTTP client adds it to its
// transport for https through a proxy (the TLS handshake then runs inside it); the FTP client sets
// it like a SOCKS tunnel, so that its control connection and every data connection get a CONNECT
// of their own.
//
// A 407 challenge is answered through the authentication hook (Basic or Digest) and the CONNECT
// goes again: on the same connection when the proxy keeps it, else on a new one.
#include "protocols/connectiontunnel.h"
#include "protocols/httpauthentication.h"
#include "protocols/httprequest.h"
#include "protocols/httpresponse.h"

#include <QString>
#include <memory>

namespace hl {

// The authentication hook of a CONNECT tunnel. Called on the connecting thread, during the
// handshake.
class ConnectAuthorization {
public:
    virtual ~ConnectAuthorization() = default;
    // The Proxy-Authorization value for a CONNECT to target (host ":" port); empty: none.
    virtual QString authorization(const QString& target) = 0;
    // A 407 answer to a CONNECT (reply.RawHeaders holds its Proxy-Authenticate values). True when
    // the challenge was answered and the CONNECT is to go again; false makes the 407 the error.
    virtual bool answerChallenge(const TIdHTTPResponse& reply) = 0;
    // Sees every reply head the proxy sends to a CONNECT, before the tunnel acts on it.
    virtual void replyReceived(const TIdHTTPResponse& reply) { Q_UNUSED(reply); }
};

// The hook for the credentials of a proxy line. With a user name, the first CONNECT carries them
// as Basic, as FTP downloads through an HTTP proxy always have; a 407 is answered with whichever
// scheme the proxy asks for (Basic or Digest), which then goes with every later CONNECT.
class ProxyLineAuthorization final : public ConnectAuthorization {
public:
    ProxyLineAuthorization(QString username, QString password);
    QString authorization(const QString& target) override;
    bool answerChallenge(const TIdHTTPResponse& reply) override;

private:
    QString username_;
    QString password_;
    std::unique_ptr<HttpAuthSchemes> schemes_;
    std::unique_ptr<HttpAuthenticator> authenticator_;
};

class HttpConnectTunnel final : public ConnectionTunnel {
public:
    static constexpr quint16 kDefaultPort = 8080;
    // No proxy needs more header lines than this to answer a CONNECT.
    static constexpr int kMaxHeaderLines = 255;
    // Challenges answered within one handshake.
    static constexpr int kMaxAuthRetries = 3;

    // The proxy; an empty host means no tunnel.
    QString Host;
    quint16 Port = kDefaultPort;
    // The proxy's credentials, for the hook the tunnel makes when Authorization is not set.
    QString Username;
    QString Password;
    // Sent with every CONNECT when not empty.
    QString UserAgent;
    TIdHTTPProtocolVersion ProtocolVersion = pv1_1;
    // Reply header lines beyond this many fail the handshake (0: no limit).
    int MaxHeaderLines = kMaxHeaderLines;
    // The authentication hook. Without one the first handshake makes a ProxyLineAuthorization from
    // Username and Password. The hook is shared by the tunnel's copies, so a client's later
    // connections (FTP data connections) carry an answered challenge at once; a tunnel and its
    // copies therefore belong to one client and its thread.
    std::shared_ptr<ConnectAuthorization> Authorization;

    std::unique_ptr<ConnectionTunnel> clone() const override;
    bool enabled() const override { return !Host.isEmpty(); }
    QString serverHost() const override { return Host; }
    quint16 serverPort() const override { return Port; }
    // Writes the CONNECT request (buildConnectRequestHead: Pragma, Proxy-Connection, Host, Accept,
    // User-Agent, Proxy-Authorization) and reads the proxy's answer: a 2xx status (or an empty
    // line alone, which some proxies send) opens the tunnel; a 407 that the hook answers sends the
    // CONNECT again; any other answer throws EIdHTTPProtocolException with the proxy's status line
    // as its message, after reading the answer's body as an HTTP client does (a peer that closes
    // ends it). The transport's errors (time-out, closed connection) pass unchanged. The
    // transport's OnReceived hook does not see the handshake's bytes.
    void handshake(TIdIOHandlerSocket& transport, const QString& targetHost, quint16 targetPort) override;

private:
    ConnectAuthorization& authorizationHook();
};

} // namespace hl
