#include "protocols/ssloptions.h"

namespace hl {

void TIdSSLOptions::SetSSLVersions(const TIdSSLVersions& versions) {
    if (versions == TIdSSLVersions{TIdSSLVersion::sslvSSLv23}) {
        method_ = TIdSSLVersion::sslvSSLv23;
        versions_ = {TIdSSLVersion::sslvSSLv2, TIdSSLVersion::sslvSSLv3, TIdSSLVersion::sslvTLSv1,
                     TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2};
    } else if (versions.size() == 1) {
        method_ = *versions.begin();
        versions_ = versions;
    } else {
        method_ = TIdSSLVersion::sslvSSLv23;
        versions_ = versions;
        versions_.erase(TIdSSLVersion::sslvSSLv23);
    }
}

} // namespace hl
