#include "support/microsocksserver.h"

namespace hl::test {

MicrosocksServer::MicrosocksServer(const QString& user, const QString& password, const QString& address)
    : LoopbackServer(QStringLiteral("microsocks.log"), address) {
    start(QStringLiteral("/usr/bin/microsocks"), [&](quint16 port) {
        QStringList arguments{QStringLiteral("-i"), address, QStringLiteral("-p"), QString::number(port)};
        if (!user.isEmpty()) arguments << QStringLiteral("-u") << user << QStringLiteral("-P") << password;
        return arguments;
    });
}

} // namespace hl::test
