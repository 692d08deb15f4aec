#include "engine/proxyroute.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(ProxyRoute, HttpTypeGivesProxyParametersWithPort8080ForAPortThatIsNoNumber) {
    const ProxyRoute route =
        proxyRouteFor(parseProxyLine(QStringLiteral("proxy.invalid:abc:u:p")), ProxyType::Http);
    ASSERT_TRUE(std::holds_alternative<HttpProxySettings>(route));
    const auto& http = std::get<HttpProxySettings>(route);
    EXPECT_EQ(http.ProxyServer, QStringLiteral("proxy.invalid"));
    EXPECT_EQ(http.ProxyPort, 8080);
    EXPECT_EQ(http.ProxyUsername, QStringLiteral("u"));
    EXPECT_EQ(http.ProxyPassword, QStringLiteral("p"));
}

TEST(ProxyRoute, SocksTypesGiveATunnelOfTheirVersionWithPort1080ForAPortThatIsNoNumber) {
    const std::pair<ProxyType, TSocksVersion> cases[] = {
        {ProxyType::Socks5, TSocksVersion::svSocks5},
        {ProxyType::Socks4A, TSocksVersion::svSocks4A},
        {ProxyType::Socks4, TSocksVersion::svSocks4},
    };
    for (const auto& [type, version] : cases) {
        SCOPED_TRACE(ProxyTypeText(type).data());
        const ProxyRoute route = proxyRouteFor(parseProxyLine(QStringLiteral("s.invalid:abc:u:p")), type);
        ASSERT_TRUE(std::holds_alternative<TIdSocksInfo>(route));
        const auto& socks = std::get<TIdSocksInfo>(route);
        EXPECT_EQ(socks.Version, version);
        EXPECT_EQ(socks.Host, QStringLiteral("s.invalid"));
        EXPECT_EQ(socks.Port, 1080);
        EXPECT_EQ(socks.Username, QStringLiteral("u"));
        EXPECT_EQ(socks.Password, QStringLiteral("p"));
    }
}

TEST(ProxyRoute, LineWithoutAHostGoesDirect) {
    for (const char* line : {"proxy.invalid", ":3128", ""}) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(std::holds_alternative<std::monostate>(
            proxyRouteFor(parseProxyLine(QString::fromLatin1(line)), ProxyType::Socks5)));
    }
}

} // namespace
} // namespace hl
