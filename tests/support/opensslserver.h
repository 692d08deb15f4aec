#pragma once
// Debian's "openssl s_server" on a free loopback port with the test certificate, answering
// "GET /" with its status page (-www). Extra arguments choose the protocol versions.
#include "support/serverprocess.h"
#include "support/tempdir.h"

#include <QString>
#include <QStringList>

namespace hl::test {

class OpenSSLServer {
public:
    explicit OpenSSLServer(const QStringList& extraArguments = {});
    ~OpenSSLServer();

    // False when openssl is missing or did not come up; the log says why.
    bool started() const { return started_; }
    QString log() const;
    quint16 port() const { return port_; }

private:
    TempDir folder_;
    quint16 port_ = 0;
    bool started_ = false;
    ChildProcess process_;
};

} // namespace hl::test
