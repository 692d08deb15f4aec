#pragma once
// The protocol versions a TLS transport allows, and the library method they select.
#include <QString>
#include <set>

namespace hl {

// In this order; sslvSSLv23 stands for negotiating the best version both sides allow.
enum class TIdSSLVersion { sslvSSLv2, sslvSSLv23, sslvSSLv3, sslvTLSv1, sslvTLSv1_1, sslvTLSv1_2 };
using TIdSSLVersions = std::set<TIdSSLVersion>;

// Checking the server's certificate. Off by default: any certificate is accepted (self-signed,
// expired, issued for another name), as the transport always did.
struct TIdSSLVerification {
    // On: the certificate chain must lead to a trusted authority and the certificate must name the
    // host (an address literal: one of its IP addresses); TLS 1.2 and 1.3 are offered, whatever
    // the versions set on the options. A failed check ends the handshake with
    // EIdOSSLCertificateError, naming the reason.
    bool Strict = false;
    // With Strict: a PEM file of the authorities to trust instead of the system's store (the
    // library's default paths, which SSL_CERT_FILE and SSL_CERT_DIR override). Empty: the store.
    QString CAFile;
};

class TIdSSLOptions {
public:
    // The default allows TLS 1.0 only.
    TIdSSLOptions() { SetSSLVersions({TIdSSLVersion::sslvTLSv1}); }

    // Setting the versions derives the method: exactly one version selects that version; any other
    // set selects negotiation (sslvSSLv23), which is then removed from the set; a set that held only
    // sslvSSLv23 allows all five real versions.
    void SetSSLVersions(const TIdSSLVersions& versions);
    // The real versions allowed (never contains sslvSSLv23).
    const TIdSSLVersions& SSLVersions() const { return versions_; }
    TIdSSLVersion Method() const { return method_; }
    bool allows(TIdSSLVersion version) const { return versions_.count(version) > 0; }

    // Empty: the library's default cipher list.
    QString CipherList;
    TIdSSLVerification Verification;

private:
    TIdSSLVersions versions_;
    TIdSSLVersion method_ = TIdSSLVersion::sslvTLSv1;
};

} // namespace hl
