#pragma once
// Debian's pyftpdlib, started for one test on a free loopback port: anonymous, read-only, serving a
// temporary folder. Passive data ports are bound on the same address. With a send rate, each data
// connection sends at most that many bytes per second.
#include "support/loopbackserver.h"
#include "support/tempdir.h"

#include <QByteArray>
#include <QString>

namespace hl::test {

class FtpServer : public LoopbackServer {
public:
    // On 127.0.0.1 or ::1; a throttled server listens on 127.0.0.1 alone.
    explicit FtpServer(qint64 sendBytesPerSecond = 0, const QString& address = kLoopbackIPv4);

    // The folder served at "/".
    QString root() const { return files_.path(); }
    // Writes a file to serve, returning its URL.
    QString put(const QString& name, const QByteArray& content) const;
    // "ftp://" authority() path.
    QString url(const QString& path) const;

private:
    TempDir files_;
};

} // namespace hl::test
