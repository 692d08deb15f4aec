#pragma once
// The errors of the TLS transport. Those that carry the library's text read: the fixed text, CRLF,
// then the library's rendering of its oldest queued error (read and write errors: the library's
// text alone). "Could not load SSL library." is declared with the transport's base.
#include "protocols/idexceptions.h"
#include "protocols/ssliohandlerbase.h"

namespace hl {

HL_DECLARE_EXCEPTION(EIdOpenSSLError, EIdException);
HL_DECLARE_FIXED_EXCEPTION(EIdOSSLSettingCipherError, EIdOpenSSLError, "SetCipher failed.");
// A library call failed while reading or writing; also the base of the failures below.
HL_DECLARE_EXCEPTION(EIdOpenSSLAPISSLError, EIdOpenSSLError);
HL_DECLARE_EXCEPTION(EIdOSSLCreatingContextError, EIdOpenSSLAPISSLError);
HL_DECLARE_EXCEPTION(EIdOSSLCreatingSessionError, EIdOpenSSLAPISSLError);
HL_DECLARE_EXCEPTION(EIdOSSLFDSetError, EIdOpenSSLAPISSLError);
// The handshake failed with a protocol error.
HL_DECLARE_EXCEPTION(EIdOSSLUnderlyingCryptoError, EIdOpenSSLAPISSLError);
// Strict verification refused the server's certificate; the text names the reason.
HL_DECLARE_EXCEPTION(EIdOSSLCertificateError, EIdOSSLUnderlyingCryptoError);
// The handshake failed because the peer closed the connection.
HL_DECLARE_EXCEPTION(EIdOSSLConnectError, EIdOpenSSLAPISSLError);

} // namespace hl
