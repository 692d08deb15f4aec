#include "support/microsocksserver.h"

namespace hl::test {

namespace {
const QString kMicrosocks = QStringLiteral("/usr/bin/microsocks");
}

MicrosocksServer::MicrosocksServer(const QString& user, const QString& password) {
    if (!programExists(kMicrosocks)) return;
    port_ = freeLoopbackPort();
    QStringList arguments{QStringLiteral("-i"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                          QString::number(port_)};
    if (!user.isEmpty()) arguments << QStringLiteral("-u") << user << QStringLiteral("-P") << password;
    process_ = ChildProcess(kMicrosocks, arguments, dir_.file(QStringLiteral("microsocks.log")));
    started_ = waitForPort(port_) && process_.running();
}

QString MicrosocksServer::log() const {
    return QString::fromUtf8(dir_.read(QStringLiteral("microsocks.log")));
}

} // namespace hl::test
