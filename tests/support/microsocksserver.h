#pragma once
// Debian's microsocks, a SOCKS 5 server, started for one test on a free loopback port.
#include "support/loopbackserver.h"

namespace hl::test {

class MicrosocksServer : public LoopbackServer {
public:
    // With a user name, the server accepts only clients that authenticate with it and password.
    // It listens on address (127.0.0.1 or ::1).
    explicit MicrosocksServer(const QString& user = {}, const QString& password = {},
                              const QString& address = kLoopbackIPv4);
};

} // namespace hl::test
