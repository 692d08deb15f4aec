#include "protocols/ssloptions.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using V = TIdSSLVersion;

TEST(SSLOptions, VersionsChooseTheMethod) {
    struct Case {
        TIdSSLVersions given;
        TIdSSLVersion method;
        TIdSSLVersions allowed;
    };
    const Case cases[] = {
        {{V::sslvTLSv1_2}, V::sslvTLSv1_2, {V::sslvTLSv1_2}},
        // The program's choice: negotiation between TLS 1.0 and 1.2.
        {{V::sslvSSLv23, V::sslvTLSv1, V::sslvTLSv1_1, V::sslvTLSv1_2},
         V::sslvSSLv23,
         {V::sslvTLSv1, V::sslvTLSv1_1, V::sslvTLSv1_2}},
        {{V::sslvSSLv23},
         V::sslvSSLv23,
         {V::sslvSSLv2, V::sslvSSLv3, V::sslvTLSv1, V::sslvTLSv1_1, V::sslvTLSv1_2}},
        {{V::sslvSSLv3, V::sslvTLSv1_2}, V::sslvSSLv23, {V::sslvSSLv3, V::sslvTLSv1_2}},
        {{}, V::sslvSSLv23, {}},
    };
    for (const Case& c : cases) {
        TIdSSLOptions options;
        options.SetSSLVersions(c.given);
        EXPECT_EQ(options.Method(), c.method);
        EXPECT_EQ(options.SSLVersions(), c.allowed);
    }
    const TIdSSLOptions defaults;
    EXPECT_EQ(defaults.Method(), V::sslvTLSv1);
    EXPECT_EQ(defaults.SSLVersions(), TIdSSLVersions{V::sslvTLSv1});
}

} // namespace
} // namespace hl
