#pragma once
// Debian's "openssl s_server" on a free loopback port with the test certificate, answering
// "GET /" with its status page (-www). Extra arguments choose the protocol versions.
#include "support/loopbackserver.h"

namespace hl::test {

class OpenSSLServer : public LoopbackServer {
public:
    explicit OpenSSLServer(const QStringList& extraArguments = {});
};

} // namespace hl::test
