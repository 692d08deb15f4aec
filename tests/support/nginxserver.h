#pragma once
// Debian's nginx, started for one test on a free loopback port and serving a temporary folder.
#include "support/loopbackserver.h"
#include "support/tempdir.h"

#include <QString>

namespace hl::test {

struct NginxOptions {
    // Extra directives inside the server block (locations, gzip, auth_basic, ...).
    QString serverDirectives;
    // With a certificate and key (PEM files), the server speaks TLS.
    QString certificateFile;
    QString keyFile;
    // 127.0.0.1 or ::1.
    QString address = kLoopbackIPv4;
};

class NginxServer : public LoopbackServer {
public:
    explicit NginxServer(const NginxOptions& options = {});

    // The folder served at "/".
    QString root() const { return files_.path(); }
    // Writes a file to serve, returning its URL.
    QString put(const QString& name, const QByteArray& content) const;
    // scheme "://" authority() path.
    QString url(const QString& path) const;

private:
    TempDir files_;
    bool tls_ = false;
};

} // namespace hl::test
