#include "protocols/ssliohandlersocketopenssl.h"

namespace hl {

std::unique_ptr<TIdSSLIOHandlerSocketBase> makeDefaultSSLIOHandler() {
    return std::make_unique<TIdSSLIOHandlerSocketOpenSSL>();
}

} // namespace hl
