#pragma once
// The protocol versions a TLS transport allows, and the library method they select.
#include <QString>
#include <set>

namespace hl {

// In this order; sslvSSLv23 stands for negotiating the best version both sides allow.
enum class TIdSSLVersion { sslvSSLv2, sslvSSLv23, sslvSSLv3, sslvTLSv1, sslvTLSv1_1, sslvTLSv1_2 };
using TIdSSLVersions = std::set<TIdSSLVersion>;

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

private:
    TIdSSLVersions versions_;
    TIdSSLVersion method_ = TIdSSLVersion::sslvTLSv1;
};

} // namespace hl
