#pragma once
// Debian's tinyproxy, an HTTP proxy (absolute-URI requests and CONNECT), started in the foreground
// for one test on a free loopback port, with its own configuration in a temporary folder. It
// listens on 127.0.0.1 only and serves only loopback clients.
#include "support/serverprocess.h"
#include "support/tempdir.h"

#include <QString>

namespace hl::test {

struct TinyproxyOptions {
    // With a user name, the proxy answers 407 to requests without these Basic credentials.
    QString basicAuthUser;
    QString basicAuthPassword;
};

class TinyproxyServer {
public:
    explicit TinyproxyServer(const TinyproxyOptions& options = {});

    // False when tinyproxy is not installed or did not come up; the log says why.
    bool started() const { return started_; }
    QString log() const;
    quint16 port() const { return port_; }

private:
    TempDir dir_;
    quint16 port_ = 0;
    bool started_ = false;
    ChildProcess process_;
};

} // namespace hl::test
