#pragma once
// Debian's nginx, started for one test on a free loopback port and serving a temporary folder.
#include "support/serverprocess.h"
#include "support/tempdir.h"

#include <QString>

namespace hl::test {

struct NginxOptions {
    // Extra directives inside the server block (locations, gzip, auth_basic, ...).
    QString serverDirectives;
    // With a certificate and key (PEM files), the server speaks TLS.
    QString certificateFile;
    QString keyFile;
};

class NginxServer {
public:
    explicit NginxServer(const NginxOptions& options = {});
    ~NginxServer();

    // False when nginx is not installed or did not come up; the log says why.
    bool started() const { return started_; }
    QString log() const;
    quint16 port() const { return port_; }
    // The folder served at "/".
    QString root() const { return files_.path(); }
    // Writes a file to serve, returning its URL.
    QString put(const QString& name, const QByteArray& content) const;
    // scheme "://127.0.0.1:" port path.
    QString url(const QString& path) const;

private:
    TempDir prefix_;
    TempDir files_;
    quint16 port_ = 0;
    bool tls_ = false;
    bool started_ = false;
    ChildProcess process_;
};

} // namespace hl::test
