#pragma once
// A certificate authority of its own for one test, made with Debian's openssl in a temporary
// folder, and server certificates to check strict verification against: issued by it (valid or
// expired, for any names), self-signed, or issued by a stranger.
#include "support/tempdir.h"

#include <QString>
#include <QStringList>

namespace hl::test {

struct IssuedCertificate {
    QString certificateFile;
    QString keyFile;
};

class TestAuthority {
public:
    // Makes the authority (a P-256 key and a self-signed CA certificate); a few hundredths of a
    // second.
    TestAuthority();

    // Empty while every certificate was made; otherwise what openssl said.
    QString error() const { return error_; }
    // The authority's certificate: the file to trust.
    QString caFile() const { return dir_.file(QStringLiteral("ca.pem")); }

    // A certificate for CN=name with the subject alternative names altNames (such as
    // "DNS:localhost,IP:127.0.0.1"), valid from now for days; a negative count makes one that
    // has already expired.
    IssuedCertificate issue(const QString& name, const QString& altNames, int days = 2);
    // The same, signed by its own key.
    IssuedCertificate selfSigned(const QString& name, const QString& altNames);
    // The same, signed by another authority, which nobody trusts.
    IssuedCertificate issuedByStranger(const QString& name, const QString& altNames);

private:
    // The files base.pem and base.key in the folder.
    IssuedCertificate files(const QString& base) const;
    IssuedCertificate makeRoot(const QString& base, const QString& name,
                               const QStringList& extraArguments = {});
    IssuedCertificate sign(const QString& authority, const QString& name, const QString& altNames, int days);
    bool openssl(const QStringList& arguments);

    TempDir dir_;
    QString error_;
    int made_ = 0;
};

} // namespace hl::test
