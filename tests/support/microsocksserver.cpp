#include "support/microsocksserver.h"

namespace hl::test {

MicrosocksServer::MicrosocksServer(const QString& user, const QString& password)
    : LoopbackServer(QStringLiteral("microsocks.log")) {
    QStringList arguments{QStringLiteral("-i"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                          QString::number(port())};
    if (!user.isEmpty()) arguments << QStringLiteral("-u") << user << QStringLiteral("-P") << password;
    start(QStringLiteral("/usr/bin/microsocks"), arguments);
}

} // namespace hl::test
