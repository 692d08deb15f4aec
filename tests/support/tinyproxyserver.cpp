#include "support/tinyproxyserver.h"

namespace hl::test {

TinyproxyServer::TinyproxyServer(const TinyproxyOptions& options)
    : LoopbackServer(QStringLiteral("tinyproxy.log"), kLoopbackIPv4) {
    start(QStringLiteral("/usr/bin/tinyproxy"), [&](quint16 port) {
        // No ConnectPort lines: CONNECT is allowed to any port, as the test servers use random ones.
        QString config = QStringLiteral("Port %1\n"
                                        "Listen 127.0.0.1\n"
                                        "Allow 127.0.0.1\n"
                                        "Timeout 30\n"
                                        "MaxClients 64\n"
                                        "LogFile \"%2\"\n"
                                        "LogLevel Info\n")
                             .arg(port)
                             .arg(logFile());
        if (!options.basicAuthUser.isEmpty())
            config +=
                QStringLiteral("BasicAuth %1 %2\n").arg(options.basicAuthUser, options.basicAuthPassword);
        dir().write(QStringLiteral("tinyproxy.conf"), config.toUtf8());
        return QStringList{QStringLiteral("-d"), QStringLiteral("-c"),
                           dir().file(QStringLiteral("tinyproxy.conf"))};
    });
}

} // namespace hl::test
