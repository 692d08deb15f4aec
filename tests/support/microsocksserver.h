#pragma once
// Debian's microsocks, a SOCKS 5 server, started for one test on a free loopback port.
#include "support/serverprocess.h"
#include "support/tempdir.h"

#include <QString>

namespace hl::test {

class MicrosocksServer {
public:
    // With a user name, the server accepts only clients that authenticate with it and password.
    explicit MicrosocksServer(const QString& user = {}, const QString& password = {});

    // False when microsocks is not installed or did not come up; the log says why.
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
