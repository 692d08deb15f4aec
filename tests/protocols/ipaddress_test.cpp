#include "protocols/ipaddress.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(IpAddress, LiteralsOfBothFamiliesAreReadAndWrittenBack) {
    const struct {
        const char* text;
        const char* written; // nullptr: not an address
        bool ipv6;
    } cases[] = {
        {"127.0.0.1", "127.0.0.1", false},
        {"0.0.0.0", "0.0.0.0", false},
        {"255.255.255.255", "255.255.255.255", false},
        {"::1", "::1", true},
        {"[::1]", "::1", true},
        {"2001:DB8:0:0:0:0:0:1", "2001:db8::1", true},
        {"::ffff:192.0.2.1", "::ffff:192.0.2.1", true},
        {"256.0.0.1", nullptr, false},
        {"127.1", nullptr, false},
        {"1.2.3.4.5", nullptr, false},
        {"[1.2.3.4]", nullptr, false},
        {"localhost", nullptr, false},
        {"::1]", nullptr, false},
        {"fe80::1%eth0", nullptr, false},
        {"", nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto address = IpAddress::parse(QLatin1String(c.text));
        ASSERT_EQ(address.has_value(), c.written != nullptr);
        if (!address) continue;
        EXPECT_EQ(address->toString(), QLatin1String(c.written));
        EXPECT_EQ(address->isIPv6(), c.ipv6);
    }
    EXPECT_EQ(IpAddress::parse(QStringLiteral("10.1.2.3"))->ipv4(), 0x0A010203u);
}

TEST(IpAddress, AnIPv6HostIsBracketedWhereverItMeetsAPort) {
    EXPECT_EQ(hostAndPort(QStringLiteral("::1"), 8080), QStringLiteral("[::1]:8080"));
    EXPECT_EQ(hostAndPort(QStringLiteral("[::1]"), 21), QStringLiteral("[::1]:21"));
    EXPECT_EQ(hostAndPort(QStringLiteral("127.0.0.1"), 443), QStringLiteral("127.0.0.1:443"));
    EXPECT_EQ(hostAndPort(QStringLiteral("files.example"), 80), QStringLiteral("files.example:80"));
    EXPECT_EQ(bracketedHost(QStringLiteral("2001:db8::7")), QStringLiteral("[2001:db8::7]"));
    // A host that only starts with "[" is not yet in brackets.
    EXPECT_EQ(bracketedHost(QStringLiteral("[:x")), QStringLiteral("[[:x]"));
    EXPECT_EQ(bracketedHost(QStringLiteral("[::1]x:1")), QStringLiteral("[[::1]x:1]"));
}

} // namespace
} // namespace hl
