#include "engine/proxyline.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(ProxyLine, SplitsAtEveryColonIntoFourFieldsWithoutTrimming) {
    struct Case {
        const char* line;
        const char* host;
        const char* port;
        const char* user;
        const char* password;
    };
    const Case cases[] = {
        {"A:8080", "A", "8080", "", ""},
        {"B:3128:u:p", "B", "3128", "u", "p"},
        {"h:1080:u:pa:ss", "h", "1080", "u", "pa"}, // a password is cut at its first ":"
        {"h::u:p", "h", "", "u", "p"},
        {"h:1080:u", "h", "1080", "u", ""},
        {" h : 1 :u ", " h ", " 1 ", "u ", ""},
        {":8080", "", "8080", "", ""},
        {"proxy.invalid", "", "0", "", ""}, // no ":" at all: no proxy, the port keeps "0"
        // An IPv6 literal in brackets keeps its colons; the fields follow the "]".
        {"[::1]:8080", "::1", "8080", "", ""},
        {"[2001:db8::2]:1080:u:p:q", "2001:db8::2", "1080", "u", "p"},
        {"[::1]", "::1", "0", "", ""},
        {"[::1", "[", "", "1", ""}, // no "]": split as any other line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const ProxyLineFields fields = parseProxyLine(QString::fromLatin1(c.line));
        EXPECT_EQ(fields.ProxySatir, QString::fromLatin1(c.line));
        EXPECT_EQ(fields.ProxyHost, QString::fromLatin1(c.host));
        EXPECT_EQ(fields.ProxyPort, QString::fromLatin1(c.port));
        EXPECT_EQ(fields.ProxyUser, QString::fromLatin1(c.user));
        EXPECT_EQ(fields.ProxyPass, QString::fromLatin1(c.password));
        EXPECT_EQ(fields.namesProxy(), c.host[0] != '\0');
    }
}

TEST(ProxyLine, PortThatIsNoPortFallsBackToTheDefaultOfTheProxyType) {
    const std::pair<const char*, int> cases[] = {
        {"3128", 3128}, {" 3128 ", 3128}, {"0080", 80}, {"65535", 65535}, {"1", 1},
        {"abc", 0},     {"", 0},          {"0", 0},     {"65536", 0},     {"99999999999999999999", 0},
        {"-1", 0},      {"+80", 0},       {"80a", 0},   {"8 0", 0},
    };
    for (const auto& [field, port] : cases) {
        SCOPED_TRACE(field);
        EXPECT_EQ(proxyPortOrDefault(QString::fromLatin1(field), ProxyType::Http), port ? port : 8080);
        EXPECT_EQ(proxyPortOrDefault(QString::fromLatin1(field), ProxyType::Socks4), port ? port : 1080);
    }
}

TEST(ProxyLine, AddBuildsHostPortAndCredentialsOnlyWithAUserName) {
    struct Case {
        const char* host;
        int port;
        const char* user;
        const char* password;
        const char* line; // nullptr: nothing is added
    };
    const Case cases[] = {
        {"h", 3128, "", "x", "h:3128"},
        {"h", 3128, "u", "", "h:3128:u:"},
        {"  10.0.0.5 ", 3128, "u", "", "10.0.0.5:3128:u:"},
        {" ::1 ", 8080, "", "", "[::1]:8080"},
        {"h", 1080, "  ", " p ", "h:1080:  : p "},
        {"   ", 1080, "u", "p", nullptr},
        {"", 1080, "", "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        const auto line = buildProxyLine(QString::fromLatin1(c.host), c.port, QString::fromLatin1(c.user),
                                         QString::fromLatin1(c.password));
        if (c.line)
            EXPECT_EQ(line, QString::fromLatin1(c.line));
        else
            EXPECT_FALSE(line.has_value());
    }
}

TEST(ProxyLine, SchemeNamesRoundTripAndNothingElseIsAType) {
    for (ProxyType type : {ProxyType::Http, ProxyType::Socks5, ProxyType::Socks4A, ProxyType::Socks4})
        EXPECT_EQ(proxyTypeFromScheme(proxySchemeName(type)), type);
    EXPECT_EQ(proxySchemeName(ProxyType::Socks4A), QStringLiteral("socks4a"));
    EXPECT_FALSE(proxyTypeFromScheme(QStringLiteral("SOCKS5")).has_value());
    EXPECT_FALSE(proxyTypeFromScheme(QStringLiteral("socks")).has_value());
}

} // namespace
} // namespace hl
