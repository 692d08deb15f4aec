#include "support/ftpserver.h"

namespace hl::test {

FtpServer::FtpServer(qint64 sendBytesPerSecond, const QString& address)
    : LoopbackServer(QStringLiteral("pyftpdlib.log"), address) {
    // Debian's python3 has the module; the python3 first on PATH may be another installation.
    const QString python = QStringLiteral("/usr/bin/python3");
    if (sendBytesPerSecond > 0) {
        start(python, [&](quint16 port) {
            return QStringList{QStringLiteral(HARVESTLINE_SOURCE_DIR "/tests/support/throttledftpd.py"),
                               QString::number(port), files_.path(), QString::number(sendBytesPerSecond)};
        });
        return;
    }
    // Without -w the anonymous user may only read. Passive listeners bind to the address the
    // control connection came in on.
    start(python, [&](quint16 port) {
        return QStringList{
            QStringLiteral("-m"), QStringLiteral("pyftpdlib"), QStringLiteral("-i"), address,
            QStringLiteral("-p"), QString::number(port),       QStringLiteral("-d"), files_.path()};
    });
}

QString FtpServer::put(const QString& name, const QByteArray& content) const {
    files_.write(name, content);
    return url(QLatin1Char('/') + name);
}

QString FtpServer::url(const QString& path) const {
    return QStringLiteral("ftp://") + authority() + path;
}

} // namespace hl::test
