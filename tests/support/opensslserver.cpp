#include "support/opensslserver.h"

#include "support/testcertificate.h"

namespace hl::test {

OpenSSLServer::OpenSSLServer(const QStringList& extraArguments) {
    const TestCertificate& certificate = testCertificate();
    if (!certificate.error.isEmpty()) {
        folder_.write(QStringLiteral("server.log"), certificate.error.toUtf8());
        return;
    }
    port_ = freeLoopbackPort();
    const QStringList arguments = QStringList{QStringLiteral("s_server"),
                                              QStringLiteral("-accept"),
                                              QStringLiteral("127.0.0.1:%1").arg(port_),
                                              QStringLiteral("-cert"),
                                              certificate.certificateFile,
                                              QStringLiteral("-key"),
                                              certificate.keyFile,
                                              QStringLiteral("-www"),
                                              QStringLiteral("-quiet")} +
                                  extraArguments;
    process_ = ChildProcess(QStringLiteral("openssl"), arguments, folder_.file(QStringLiteral("server.log")));
    started_ = waitForPort(port_) && process_.running();
}

OpenSSLServer::~OpenSSLServer() {
    process_.stop();
}

QString OpenSSLServer::log() const {
    return QString::fromUtf8(folder_.read(QStringLiteral("server.log")));
}

} // namespace hl::test
