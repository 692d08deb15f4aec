#include "support/opensslserver.h"

#include "support/testcertificate.h"

namespace hl::test {

OpenSSLServer::OpenSSLServer(const QStringList& extraArguments)
    : LoopbackServer(QStringLiteral("s_server.log"), kLoopbackIPv4) {
    const TestCertificate& certificate = testCertificate();
    if (!certificate.error.isEmpty()) {
        dir().write(QStringLiteral("s_server.log"), certificate.error.toUtf8());
        return;
    }
    serve(certificate.certificateFile, certificate.keyFile, extraArguments);
}

OpenSSLServer::OpenSSLServer(const QString& certificateFile, const QString& keyFile,
                             const QStringList& extraArguments)
    : LoopbackServer(QStringLiteral("s_server.log"), kLoopbackIPv4) {
    serve(certificateFile, keyFile, extraArguments);
}

void OpenSSLServer::serve(const QString& certificateFile, const QString& keyFile,
                          const QStringList& extraArguments) {
    start(QStringLiteral("openssl"), [&](quint16 port) {
        return QStringList{QStringLiteral("s_server"),
                           QStringLiteral("-accept"),
                           QStringLiteral("127.0.0.1:%1").arg(port),
                           QStringLiteral("-cert"),
                           certificateFile,
                           QStringLiteral("-key"),
                           keyFile,
                           QStringLiteral("-www"),
                           QStringLiteral("-quiet")} +
               extraArguments;
    });
}

} // namespace hl::test
