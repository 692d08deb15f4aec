#pragma once
// What the HTTP client needs of a TLS-capable transport, without knowing how TLS is done. The
// OpenSSL-backed transport derives from this; nothing outside that transport sees the library.
#include "protocols/idexceptions.h"
#include "protocols/iohandlersocket.h"

#include <memory>

namespace hl {

HL_DECLARE_FIXED_EXCEPTION(EIdOSSLCouldNotLoadSSLLibrary, EIdException, "Could not load SSL library.");

class TIdSSLIOHandlerSocketBase : public TIdIOHandlerSocket {
public:
    // The full target URL of the next request; its host is the name sent in the handshake (SNI).
    QString URIToCheck;

    // true: bytes pass unencrypted (http, and the proxy leg of a CONNECT tunnel); false: TLS.
    // Switching to false on an open connection runs the handshake there.
    bool PassThrough() const { return passThrough_; }
    virtual void SetPassThrough(bool value) = 0;

protected:
    bool passThrough_ = true;
};

// The TLS transport with default options, for a client that needs TLS and was given no transport.
std::unique_ptr<TIdSSLIOHandlerSocketBase> makeDefaultSSLIOHandler();

} // namespace hl
