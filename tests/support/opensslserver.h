#pragma once
// Debian's "openssl s_server" on a free loopback port, answering "GET /" with its status page
// (-www), which tells among other things whether the session was new or resumed ("New, " or
// "Reused, "). Extra arguments choose the protocol versions or switch resumption off.
#include "support/loopbackserver.h"

namespace hl::test {

class OpenSSLServer : public LoopbackServer {
public:
    // With the test certificate (CN=localhost, self-signed).
    explicit OpenSSLServer(const QStringList& extraArguments = {});
    // With the given certificate and key (PEM files).
    OpenSSLServer(const QString& certificateFile, const QString& keyFile,
                  const QStringList& extraArguments = {});

private:
    void serve(const QString& certificateFile, const QString& keyFile, const QStringList& extraArguments);
};

} // namespace hl::test
