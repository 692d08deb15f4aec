#pragma once
// One client TLS session over a connected socket, on OpenSSL 3. This is the only code that calls
// the library (see openssllibrary.h for how it is loaded); no OpenSSL type leaves it.
//
// A session belongs to one transport and is used by one thread at a time. All calls block; waits
// for the peer use the socket's poll() so that the transport's time limits apply.
#include "protocols/ssloptions.h"
#include "protocols/tcpsocket.h"

#include <QByteArray>
#include <memory>

namespace hl {

class OpenSSLSession {
public:
    // Takes the client context for options, loading the library and building the context on first
    // use (one context per distinct options for the life of the process). Throws
    // EIdOSSLCouldNotLoadSSLLibrary, EIdOSSLCreatingContextError, EIdOSSLSettingCipherError.
    explicit OpenSSLSession(const TIdSSLOptions& options);
    // Frees the session; sends nothing (call shutdown first for a clean close).
    ~OpenSSLSession();
    OpenSSLSession(const OpenSSLSession&) = delete;
    OpenSSLSession& operator=(const OpenSSLSession&) = delete;

    // Runs the client handshake on the connected socket, which the caller keeps owning, sending
    // serverName (when not empty) as the SNI name. Waits for the peer at most timeoutMs in all
    // (EIdReadTimeout). Throws EIdOSSLCreatingSessionError, EIdOSSLFDSetError,
    // EIdOSSLUnderlyingCryptoError, EIdOSSLConnectError (the peer closed), EIdSocketError, and
    // with strict verification EIdOSSLCertificateError (the certificate is checked for serverName).
    //
    // Sessions are resumed: the handshake offers the newest session kept from an earlier
    // connection with the same options, serverName and peer (a text that names the server and the
    // route to it), and the sessions this server gives are kept for the next connection. A server
    // that does not resume gets a full handshake.
    void handshake(TcpSocket& socket, const QByteArray& serverName, const QString& peer, int timeoutMs);
    // Whether the handshake resumed an earlier session.
    bool resumed() const;

    // Up to capacity decrypted bytes, waiting at most timeoutMs for the peer (TcpSocket's
    // convention; EIdReadTimeout). Returns 0 when the peer closed the session (close notify).
    // Throws EIdOpenSSLAPISSLError, or EIdSocketError for a failed socket call.
    qint64 read(char* destination, qint64 capacity, int timeoutMs);
    // Writes all bytes; the errors are those of read.
    void write(const char* data, qint64 length);
    // Whether the library holds decrypted bytes that read returns without waiting.
    bool hasPending() const;
    // Sends the close notify, unless the session failed or never came up. Never waits, never throws.
    void shutdown();

private:
    void offerCachedSession(const QByteArray& serverName, const QString& peer);

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace hl
