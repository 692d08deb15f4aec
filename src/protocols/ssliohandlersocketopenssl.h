#pragma once
// The TLS transport on OpenSSL 3. In pass-through it moves bytes unchanged (http, and the proxy
// leg of a CONNECT tunnel); otherwise it runs a client handshake right after connecting (after
// the tunnel's handshake, if any) and encrypts everything from then on.
//
// By default the server certificate is not verified: self-signed, expired and mismatched
// certificates are all accepted; SSLOptions.Verification asks for strict checking. Sessions are
// resumed across transports: a connection to a server this process has talked to before offers
// the session it was given (see OpenSSLSession::handshake).
// Errors are those of sslexceptions.h plus the socket errors of the plain transport.
#include "protocols/ssliohandlerbase.h"
#include "protocols/ssloptions.h"

#include <memory>

namespace hl {

class OpenSSLSession;

class TIdSSLIOHandlerSocketOpenSSL : public TIdSSLIOHandlerSocketBase {
public:
    TIdSSLIOHandlerSocketOpenSSL();
    ~TIdSSLIOHandlerSocketOpenSSL() override;

    // Read when a connection starts its TLS session.
    TIdSSLOptions SSLOptions;

    // Out of pass-through, builds the TLS context before connecting (so a missing library fails
    // before any packet is sent), then connects and runs the handshake. In pass-through the
    // library is not needed at all.
    void Open() override;

    // On a closed transport only records the choice for the next Open. On an open connection,
    // false runs the handshake there (after a CONNECT); a failure closes the connection. true
    // sends the close notify and carries on unencrypted.
    void SetPassThrough(bool value) override;

    // The name sent in the handshake: the host of URIToCheck, or the transport's Host when
    // URIToCheck names none.
    QByteArray serverName() const;
    // Whether the last handshake resumed an earlier session instead of running a full one.
    bool SessionResumed() const { return sessionResumed_; }

protected:
    qint64 RecvRaw(char* destination, qint64 capacity, int timeoutMs) override;
    void SendRaw(const char* data, qint64 length) override;
    bool HasPendingRaw() const override;
    void AfterConnect() override;
    void BeforeClose() override;

private:
    void startSession();
    // Where the TLS server is, for filing its sessions: the address connected to, and the URL's
    // host and port (behind an HTTP proxy, the two differ).
    QString sessionPeer() const;

    // Built by Open before the TCP connect; the handshake runs on it once connected.
    std::unique_ptr<OpenSSLSession> session_;
    bool sessionActive_ = false;
    bool sessionResumed_ = false;
};

} // namespace hl
