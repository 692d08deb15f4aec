#include "support/testcertificate.h"

#include "support/tempdir.h"

#include <QProcess>

namespace hl::test {

const TestCertificate& testCertificate() {
    static const TempDir folder;
    static const TestCertificate certificate = [] {
        TestCertificate made{
            folder.file(QStringLiteral("cert.pem")), folder.file(QStringLiteral("key.pem")), {}};
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=localhost"), QStringLiteral("-days"), QStringLiteral("2"),
                       QStringLiteral("-keyout"), made.keyFile, QStringLiteral("-out"),
                       made.certificateFile});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            made.error = QStringLiteral("openssl req failed: ") + QString::fromLocal8Bit(openssl.readAll());
        return made;
    }();
    return certificate;
}

} // namespace hl::test
