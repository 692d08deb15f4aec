#pragma once
// Debian's microsocks, a SOCKS 5 server, started for one test on a free loopback port.
#include "support/loopbackserver.h"

namespace hl::test {

class MicrosocksServer : public LoopbackServer {
public:
    // With a user name, the server accepts only clients that authenticate with it and password.
    explicit MicrosocksServer(const QString& user = {}, const QString& password = {});
};

} // namespace hl::test
