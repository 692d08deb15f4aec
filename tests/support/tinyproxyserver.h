#pragma once
// Debian's tinyproxy, an HTTP proxy (absolute-URI requests and CONNECT), started in the foreground
// for one test on a free loopback port, with its own configuration in a temporary folder. It
// listens on 127.0.0.1 only and serves only loopback clients.
#include "support/loopbackserver.h"

namespace hl::test {

struct TinyproxyOptions {
    // With a user name, the proxy answers 407 to requests without these Basic credentials.
    QString basicAuthUser;
    QString basicAuthPassword;
};

class TinyproxyServer : public LoopbackServer {
public:
    explicit TinyproxyServer(const TinyproxyOptions& options = {});
};

} // namespace hl::test
