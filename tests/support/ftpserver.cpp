#include "support/ftpserver.h"

namespace hl::test {

namespace {
// Debian's python3 module; the python3 first on PATH may be another installation without it.
const QString kPython = QStringLiteral("/usr/bin/python3");
} // namespace

FtpServer::FtpServer() {
    if (!programExists(kPython)) return;
    port_ = freeLoopbackPort();
    // Without -w the anonymous user may only read. Passive listeners bind to the address the
    // control connection came in on, which is 127.0.0.1.
    process_ = ChildProcess(kPython,
                            {QStringLiteral("-m"), QStringLiteral("pyftpdlib"), QStringLiteral("-i"),
                             QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port_),
                             QStringLiteral("-d"), files_.path()},
                            logs_.file(QStringLiteral("pyftpdlib.log")));
    started_ = waitForPort(port_) && process_.running();
}

FtpServer::~FtpServer() {
    process_.stop();
}

QString FtpServer::log() const {
    return QString::fromUtf8(logs_.read(QStringLiteral("pyftpdlib.log")));
}

QString FtpServer::put(const QString& name, const QByteArray& content) const {
    files_.write(name, content);
    return url(QLatin1Char('/') + name);
}

QString FtpServer::url(const QString& path) const {
    return QStringLiteral("ftp://127.0.0.1:%1%2").arg(port_).arg(path);
}

} // namespace hl::test
