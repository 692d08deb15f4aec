#include "support/tinyproxyserver.h"

namespace hl::test {

namespace {
const QString kTinyproxy = QStringLiteral("/usr/bin/tinyproxy");
}

TinyproxyServer::TinyproxyServer(const TinyproxyOptions& options) {
    if (!programExists(kTinyproxy)) return;
    port_ = freeLoopbackPort();
    // No ConnectPort lines: CONNECT is allowed to any port, as the test servers use random ones.
    QString config = QStringLiteral("Port %1\n"
                                    "Listen 127.0.0.1\n"
                                    "Allow 127.0.0.1\n"
                                    "Timeout 30\n"
                                    "MaxClients 64\n"
                                    "LogFile \"%2\"\n"
                                    "LogLevel Info\n")
                         .arg(port_)
                         .arg(dir_.file(QStringLiteral("tinyproxy.log")));
    if (!options.basicAuthUser.isEmpty())
        config += QStringLiteral("BasicAuth %1 %2\n").arg(options.basicAuthUser, options.basicAuthPassword);
    dir_.write(QStringLiteral("tinyproxy.conf"), config.toUtf8());
    process_ = ChildProcess(
        kTinyproxy, {QStringLiteral("-d"), QStringLiteral("-c"), dir_.file(QStringLiteral("tinyproxy.conf"))},
        dir_.file(QStringLiteral("tinyproxy.log")));
    started_ = waitForPort(port_) && process_.running();
}

QString TinyproxyServer::log() const {
    return QString::fromUtf8(dir_.read(QStringLiteral("tinyproxy.log")));
}

} // namespace hl::test
