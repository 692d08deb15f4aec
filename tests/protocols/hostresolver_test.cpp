#include "protocols/hostresolver.h"
#include "protocols/idexceptions.h"
#include "support/fixedresolver.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

const IpAddress kIPv6Loopback = *IpAddress::parse(QStringLiteral("::1"));
const IpAddress kIPv4Loopback = IpAddress::fromIPv4(0x7F000001u);

// A resolver written for IPv4 alone.
class IPv4Resolver final : public HostResolver {
public:
    std::optional<quint32> lookup(const QString& name) const override {
        if (name == QLatin1String("v4.test")) return 0x0A000001u;
        return std::nullopt;
    }
};

int socketErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const EIdSocketError& e) {
        return e.LastError;
    }
    return 0;
}

TEST(HostResolver, LiteralsAndLocalhostNeverReachTheResolverAndNamesKeepItsOrder) {
    const test::FixedResolver resolver({{QStringLiteral("dual.test"), {kIPv6Loopback, kIPv4Loopback}}});
    using Addresses = std::vector<IpAddress>;
    EXPECT_EQ(resolveAddresses(QStringLiteral("LocalHost"), resolver), Addresses{kIPv4Loopback});
    EXPECT_EQ(resolveAddresses(QStringLiteral("127.0.0.1"), resolver), Addresses{kIPv4Loopback});
    EXPECT_EQ(resolveAddresses(QStringLiteral("::1"), resolver), Addresses{kIPv6Loopback});
    EXPECT_EQ(resolveAddresses(QStringLiteral("[::1]"), resolver), Addresses{kIPv6Loopback});
    EXPECT_EQ(resolveAddresses(QStringLiteral("dual.test"), resolver),
              (Addresses{kIPv6Loopback, kIPv4Loopback}));
    EXPECT_EQ(socketErrorOf([&] { resolveAddresses(QStringLiteral("other.test"), resolver); }), 11001);
    // SOCKS 4 takes the IPv4 address of a name; a host without one is not found.
    EXPECT_EQ(resolveHost(QStringLiteral("dual.test"), resolver), 0x7F000001u);
    EXPECT_EQ(socketErrorOf([&] { resolveHost(QStringLiteral("::1"), resolver); }), 11001);
}

TEST(HostResolver, AResolverThatKnowsOnlyIPv4OffersItsOneAddress) {
    const IPv4Resolver resolver;
    EXPECT_EQ(resolveAddresses(QStringLiteral("v4.test"), resolver),
              std::vector<IpAddress>{IpAddress::fromIPv4(0x0A000001u)});
    EXPECT_EQ(resolveHost(QStringLiteral("v4.test"), resolver), 0x0A000001u);
    EXPECT_EQ(socketErrorOf([&] { resolveAddresses(QStringLiteral("other.test"), resolver); }), 11001);
}

} // namespace
} // namespace hl
