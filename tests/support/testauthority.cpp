#include "support/testauthority.h"

#include <QProcess>

namespace hl::test {

namespace {

QStringList newKey(const QString& keyFile) {
    return {QStringLiteral("-newkey"),
            QStringLiteral("ec"),
            QStringLiteral("-pkeyopt"),
            QStringLiteral("ec_paramgen_curve:P-256"),
            QStringLiteral("-nodes"),
            QStringLiteral("-keyout"),
            keyFile};
}

QStringList subject(const QString& name) {
    return {QStringLiteral("-subj"), QStringLiteral("/CN=") + name};
}

} // namespace

TestAuthority::TestAuthority() {
    makeRoot(QStringLiteral("ca"), QStringLiteral("Harvestline Test CA"));
}

bool TestAuthority::openssl(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("openssl"), arguments);
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    error_ += QStringLiteral("openssl %1 failed: %2\n")
                  .arg(arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(process.readAll()));
    return false;
}

IssuedCertificate TestAuthority::files(const QString& base) const {
    return {dir_.file(base + QStringLiteral(".pem")), dir_.file(base + QStringLiteral(".key"))};
}

IssuedCertificate TestAuthority::makeRoot(const QString& base, const QString& name,
                                          const QStringList& extraArguments) {
    const IssuedCertificate made = files(base);
    openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-days"),
                        QStringLiteral("2"), QStringLiteral("-out"), made.certificateFile} +
            newKey(made.keyFile) + subject(name) + extraArguments);
    return made;
}

IssuedCertificate TestAuthority::sign(const QString& authority, const QString& name, const QString& altNames,
                                      int days) {
    const QString base = QStringLiteral("server%1").arg(++made_);
    const IssuedCertificate made = files(base);
    const IssuedCertificate issuer = files(authority);
    dir_.write(base + QStringLiteral(".ext"), QStringLiteral("subjectAltName=%1\n").arg(altNames).toUtf8());
    const QString request = dir_.file(base + QStringLiteral(".csr"));
    if (!openssl(QStringList{QStringLiteral("req"), QStringLiteral("-out"), request} + newKey(made.keyFile) +
                 subject(name)))
        return made;
    openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), request,
             QStringLiteral("-CA"), issuer.certificateFile, QStringLiteral("-CAkey"), issuer.keyFile,
             QStringLiteral("-set_serial"), QString::number(made_), QStringLiteral("-days"),
             QString::number(days), QStringLiteral("-extfile"), dir_.file(base + QStringLiteral(".ext")),
             QStringLiteral("-out"), made.certificateFile});
    return made;
}

IssuedCertificate TestAuthority::issue(const QString& name, const QString& altNames, int days) {
    return sign(QStringLiteral("ca"), name, altNames, days);
}

IssuedCertificate TestAuthority::selfSigned(const QString& name, const QString& altNames) {
    return makeRoot(QStringLiteral("server%1").arg(++made_), name,
                    {QStringLiteral("-addext"), QStringLiteral("subjectAltName=") + altNames});
}

IssuedCertificate TestAuthority::issuedByStranger(const QString& name, const QString& altNames) {
    if (!QFileInfo::exists(files(QStringLiteral("stranger")).certificateFile))
        makeRoot(QStringLiteral("stranger"), QStringLiteral("Stranger CA"));
    return sign(QStringLiteral("stranger"), name, altNames, 2);
}

} // namespace hl::test
