#pragma once
// Debian's pyftpdlib, started for one test on a free loopback port: anonymous, read-only, serving a
// temporary folder. Passive data ports are bound on 127.0.0.1 as well.
#include "support/serverprocess.h"
#include "support/tempdir.h"

#include <QByteArray>
#include <QString>

namespace hl::test {

class FtpServer {
public:
    FtpServer();
    ~FtpServer();

    // False when pyftpdlib is not installed or did not come up; the log says why.
    bool started() const { return started_; }
    QString log() const;
    quint16 port() const { return port_; }
    // The folder served at "/".
    QString root() const { return files_.path(); }
    // Writes a file to serve, returning its URL.
    QString put(const QString& name, const QByteArray& content) const;
    // "ftp://127.0.0.1:" port path.
    QString url(const QString& path) const;

private:
    TempDir logs_;
    TempDir files_;
    quint16 port_ = 0;
    bool started_ = false;
    ChildProcess process_;
};

} // namespace hl::test
