#pragma once
// Debian's pyftpdlib, started for one test on a free loopback port: anonymous, read-only, serving a
// temporary folder. Passive data ports are bound on 127.0.0.1 as well. With a send rate, each data
// connection sends at most that many bytes per second.
#include "support/loopbackserver.h"
#include "support/tempdir.h"

#include <QByteArray>
#include <QString>

namespace hl::test {

class FtpServer : public LoopbackServer {
public:
    explicit FtpServer(qint64 sendBytesPerSecond = 0);

    // The folder served at "/".
    QString root() const { return files_.path(); }
    // Writes a file to serve, returning its URL.
    QString put(const QString& name, const QByteArray& content) const;
    // "ftp://127.0.0.1:" port path.
    QString url(const QString& path) const;

private:
    TempDir files_;
};

} // namespace hl::test
