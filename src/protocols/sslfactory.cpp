#include "protocols/ssliohandlerbase.h"

namespace hl {

// No TLS implementation is linked in yet: every TLS connection reports the missing library.
std::unique_ptr<TIdSSLIOHandlerSocketBase> makeDefaultSSLIOHandler() { throw EIdOSSLCouldNotLoadSSLLibrary(); }

} // namespace hl
