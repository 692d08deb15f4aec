#include "protocols/idsocks.h"
#include "protocols/iohandlersocket.h"
#include "protocols/socksexceptions.h"
#include "support/scriptedserver.h"

#include <gtest/gtest.h>
#include <map>

namespace hl {
namespace {

using test::ScriptedConnection;
using test::ScriptedServer;

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// Knows only the names it was given; nothing ever reaches a real resolver.
class MapResolver final : public HostResolver {
public:
    explicit MapResolver(std::map<QString, quint32> names = {}) : names_(std::move(names)) {}
    std::optional<quint32> lookup(const QString& name) const override {
        const auto it = names_.find(name);
        return it == names_.end() ? std::nullopt : std::optional<quint32>(it->second);
    }

private:
    std::map<QString, quint32> names_;
};

TIdSocksInfo socksTo(const ScriptedServer& server, TSocksVersion version, const QString& user = {},
                     const QString& password = {}) {
    TIdSocksInfo socks;
    socks.Version = version;
    socks.Host = QStringLiteral("127.0.0.1");
    socks.Port = server.port();
    socks.Username = user;
    socks.Password = password;
    return socks;
}

// A transport aimed at targetHost:targetPort through the tunnel; the tunnel's server is scripted.
struct Tunneled {
    Tunneled(const TIdSocksInfo& socks, const QString& targetHost, quint16 targetPort,
             int readTimeout = 2000) {
        io.Host = targetHost;
        io.Port = targetPort;
        io.ReadTimeout = readTimeout;
        io.Resolver = std::make_shared<MapResolver>();
        io.SetTransparentProxy(&socks);
    }
    // The message of the error Open raised, or empty when it succeeded.
    QString open() {
        try {
            io.Open();
            return {};
        } catch (const Exception& e) {
            return e.message();
        }
    }
    TIdIOHandlerSocket io;
};

// What the SOCKS 5 server of most cases answers: no authentication, then success with an IPv4
// bound address, then the target's first line.
void grantSocks5(ScriptedConnection& c, int connectRequestLength) {
    c.readExact(3);
    c.send(hex("05 00"));
    c.readExact(connectRequestLength);
    c.send(hex("05 00 00 01 7f 00 00 01 04 38") + "from target\r\n");
    c.waitForClientClose(5000);
}

TEST(SocksTunnel, Socks4SendsTheResolvedAddressAndUserIdInOneRequest) {
    ScriptedServer server([](ScriptedConnection& c) {
        c.readExact(9 + 5);
        c.send(hex("00 5a 00 00 00 00 00 00") + "from target\r\n");
        c.waitForClientClose(5000);
    });
    Tunneled t(socksTo(server, TSocksVersion::svSocks4, QStringLiteral("alice")),
               QStringLiteral("files.invalid"), 8080);
    t.io.Resolver = std::make_shared<MapResolver>(
        std::map<QString, quint32>{{QStringLiteral("files.invalid"), 0x0A010203}});
    ASSERT_EQ(t.open(), QString());
    EXPECT_EQ(t.io.ReadLn(), "from target");
    t.io.Close();
    server.waitIdle();
    EXPECT_EQ(server.received().at(0), hex("04 01 1f 90 0a 01 02 03") + "alice" + '\0');
}

TEST(SocksTunnel, Socks4WithAnUnknownNameFailsBeforeAnyTraffic) {
    ScriptedServer server([](ScriptedConnection& c) { c.waitForClientClose(5000); });
    Tunneled t(socksTo(server, TSocksVersion::svSocks4), QStringLiteral("unknown.invalid"), 80);
    EXPECT_EQ(t.open(), QStringLiteral("Socket Error # 11001\r\nHost not found."));
    EXPECT_FALSE(t.io.Connected());
    ASSERT_TRUE(server.waitForScripts(1));
    EXPECT_EQ(server.received().at(0), QByteArray());
}

// SOCKS 4A leaves resolution to the server, even for an address, so no name reaches our resolver.
TEST(SocksTunnel, Socks4ASendsAddressZeroZeroZeroOneAndTheName) {
    struct Case {
        const char* target;
        QByteArray expected;
    };
    const Case cases[] = {
        {"unknown.invalid", hex("04 01 00 50 00 00 00 01") + "bob" + '\0' + "unknown.invalid" + '\0'},
        {"127.0.0.1", hex("04 01 00 50 00 00 00 01") + "bob" + '\0' + "127.0.0.1" + '\0'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const int length = c.expected.size();
        ScriptedServer server([length](ScriptedConnection& conn) {
            conn.readExact(length);
            conn.send(hex("00 5a 00 00 00 00 00 00"));
            conn.waitForClientClose(5000);
        });
        Tunneled t(socksTo(server, TSocksVersion::svSocks4A, QStringLiteral("bob")),
                   QString::fromLatin1(c.target), 80);
        ASSERT_EQ(t.open(), QString());
        t.io.Close();
        server.waitIdle();
        EXPECT_EQ(server.received().at(0), c.expected);
    }
}

TEST(SocksTunnel, Socks4ReplyCodes) {
    const std::pair<int, QString> cases[] = {
        {90, QString()},
        {91, QStringLiteral("Request rejected or failed.")},
        {92, QStringLiteral("Request rejected because SOCKS server cannot connect.")},
        {93,
         QStringLiteral("Request rejected because the client program and identd report different user-ids.")},
        {0, QStringLiteral("Unknown socks error.")},
        {255, QStringLiteral("Unknown socks error.")},
    };
    for (const auto& [code, message] : cases) {
        SCOPED_TRACE(code);
        ScriptedServer server([code = code](ScriptedConnection& c) {
            c.readExact(9);
            c.send(QByteArray(1, '\0') + char(code) + QByteArray(6, '\0'));
            c.waitForClientClose(5000);
        });
        Tunneled t(socksTo(server, TSocksVersion::svSocks4), QStringLiteral("127.0.0.1"), 80);
        EXPECT_EQ(t.open(), message);
        EXPECT_EQ(t.io.Connected(), message.isEmpty());
    }
}

// Only SOCKS 5 hides why a reply could not be read; a SOCKS 4 read error reaches the log as it is.
TEST(SocksTunnel, Socks4ReplyReadErrorsAreRaisedUnchanged) {
    ScriptedServer silent([](ScriptedConnection& c) { c.waitForClientClose(5000); });
    Tunneled stalled(socksTo(silent, TSocksVersion::svSocks4), QStringLiteral("127.0.0.1"), 80, 200);
    EXPECT_EQ(stalled.open(), QStringLiteral("Read timed out."));

    ScriptedServer closing([](ScriptedConnection& c) {
        c.readExact(9);
        c.send(hex("00 5a 00"));
    });
    Tunneled cut(socksTo(closing, TSocksVersion::svSocks4), QStringLiteral("127.0.0.1"), 80);
    EXPECT_EQ(cut.open(), QStringLiteral("Connection Closed Gracefully."));
}

TEST(SocksTunnel, Socks5WithoutUserNameAsksForTheNameToBeResolvedByTheServer) {
    ScriptedServer server([](ScriptedConnection& c) { grantSocks5(c, 4 + 1 + 9 + 2); });
    Tunneled t(socksTo(server, TSocksVersion::svSocks5), QStringLiteral("localhost"), 443);
    ASSERT_EQ(t.open(), QString());
    EXPECT_EQ(t.io.ReadLn(), "from target");
    t.io.Close();
    server.waitIdle();
    EXPECT_EQ(server.received().at(0), hex("05 01 00") + hex("05 01 00 03 09") + "localhost" + hex("01 bb"));
}

TEST(SocksTunnel, Socks5WithUserNameAuthenticatesAndSendsAnIPv4Literal) {
    ScriptedServer server([](ScriptedConnection& c) {
        c.readExact(3);
        c.send(hex("05 02"));
        c.readExact(1 + 1 + 5 + 1 + 6);
        c.send(hex("01 00"));
        c.readExact(10);
        c.send(hex("05 00 00 01 7f 00 00 01 04 38") + "from target\r\n");
        c.waitForClientClose(5000);
    });
    Tunneled t(socksTo(server, TSocksVersion::svSocks5, QStringLiteral("alice"), QStringLiteral("secret")),
               QStringLiteral("10.1.2.3"), 21);
    ASSERT_EQ(t.open(), QString());
    EXPECT_EQ(t.io.ReadLn(), "from target");
    t.io.Close();
    server.waitIdle();
    EXPECT_EQ(server.received().at(0), hex("05 01 02") + hex("01 05") + "alice" + hex("06") + "secret" +
                                           hex("05 01 00 01 0a 01 02 03 00 15"));
}

TEST(SocksTunnel, Socks5ReplyCodes) {
    const std::pair<int, QString> cases[] = {
        {1, QStringLiteral("General SOCKS server failure.")},
        {2, QStringLiteral("Connection not allowed by ruleset.")},
        {3, QStringLiteral("Network unreachable.")},
        {4, QStringLiteral("Host unreachable.")},
        {5, QStringLiteral("Connection refused.")},
        {6, QStringLiteral("TTL expired.")},
        {7, QStringLiteral("Command not supported.")},
        {8, QStringLiteral("Address type not supported.")},
        {9, QStringLiteral("Unknown socks error.")},
        {255, QStringLiteral("Unknown socks error.")},
    };
    for (const auto& [code, message] : cases) {
        SCOPED_TRACE(code);
        ScriptedServer server([code = code](ScriptedConnection& c) {
            c.readExact(3);
            c.send(hex("05 00"));
            c.readExact(10);
            c.send(hex("05") + char(code) + hex("00 01 00 00 00 00 00 00"));
            c.waitForClientClose(5000);
        });
        Tunneled t(socksTo(server, TSocksVersion::svSocks5), QStringLiteral("127.0.0.1"), 80);
        EXPECT_EQ(t.open(), message);
        EXPECT_FALSE(t.io.Connected());
    }
}

TEST(SocksTunnel, Socks5RefusedMethodAndRejectedCredentials) {
    // A server that insists on credentials answers 255 to a greeting that offers none.
    ScriptedServer insisting([](ScriptedConnection& c) {
        c.readExact(3);
        c.send(hex("05 ff"));
        c.waitForClientClose(5000);
    });
    Tunneled anonymous(socksTo(insisting, TSocksVersion::svSocks5), QStringLiteral("127.0.0.1"), 80);
    EXPECT_EQ(anonymous.open(), QStringLiteral("Invalid socks authentication method."));

    ScriptedServer rejecting([](ScriptedConnection& c) {
        c.readExact(3);
        c.send(hex("05 02"));
        c.readExact(1 + 1 + 1 + 1 + 5);
        c.send(hex("01 01"));
        c.waitForClientClose(5000);
    });
    Tunneled wrong(socksTo(rejecting, TSocksVersion::svSocks5, QStringLiteral("u"), QStringLiteral("wrong")),
                   QStringLiteral("127.0.0.1"), 80);
    EXPECT_EQ(wrong.open(), QStringLiteral("Authentication error to socks server."));
}

// Whatever goes wrong while a SOCKS 5 reply is read, the log says the server did not respond.
TEST(SocksTunnel, Socks5ReplyThatCannotBeReadMeansTheServerDidNotRespond) {
    const std::pair<const char*, ScriptedServer::Script> cases[] = {
        {"closes after the greeting", [](ScriptedConnection& c) { c.readExact(3); }},
        {"answers half a greeting reply",
         [](ScriptedConnection& c) {
             c.readExact(3);
             c.send(hex("05"));
         }},
        {"closes after the credentials",
         [](ScriptedConnection& c) {
             c.readExact(3);
             c.send(hex("05 02"));
             c.readExact(5);
         }},
        {"resets during the connect reply",
         [](ScriptedConnection& c) {
             c.readExact(3);
             c.send(hex("05 02"));
             c.readExact(5);
             c.send(hex("01 00"));
             c.readExact(10);
             c.send(hex("05 00 00 03 14") + "only-part");
             c.reset();
         }},
        {"stays silent", [](ScriptedConnection& c) { c.waitForClientClose(5000); }},
    };
    for (const auto& [name, script] : cases) {
        SCOPED_TRACE(name);
        ScriptedServer server(script);
        Tunneled t(socksTo(server, TSocksVersion::svSocks5, QStringLiteral("u"), QStringLiteral("p")),
                   QStringLiteral("127.0.0.1"), 80, 200);
        EXPECT_EQ(t.open(), QStringLiteral("Socks server did not respond."));
        EXPECT_FALSE(t.io.Connected());
    }
}

// The bound address in a success reply is skipped by its type, so the target's first byte, sent
// in the same segment, is the first byte the client reads.
TEST(SocksTunnel, Socks5SuccessReplyIsConsumedWholeByAddressType) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"IPv4, 10 bytes", hex("05 00 00 01 0a 00 00 01 1f 90")},
        {"name of 20 bytes, 27 bytes", hex("05 00 00 03 14") + "bound.name.invalid.x" + hex("1f 90")},
        {"IPv6, 22 bytes", hex("05 00 00 04 20 01 0d b8 00 00 00 00 00 00 00 00 00 00 00 01 1f 90")},
    };
    for (const auto& [name, reply] : cases) {
        SCOPED_TRACE(name);
        ScriptedServer server([reply = reply](ScriptedConnection& c) {
            c.readExact(3);
            c.send(hex("05 00"));
            c.readExact(10);
            c.send(reply + "Xtarget data\r\n");
            c.waitForClientClose(5000);
        });
        Tunneled t(socksTo(server, TSocksVersion::svSocks5), QStringLiteral("127.0.0.1"), 80);
        ASSERT_EQ(t.open(), QString());
        EXPECT_EQ(t.io.ReadLn(), "Xtarget data");
    }
}

// With no length to go by, the bound address could not be told apart from the target's data.
TEST(SocksTunnel, Socks5SuccessWithAnUnknownAddressTypeIsAnError) {
    ScriptedServer server([](ScriptedConnection& c) {
        c.readExact(3);
        c.send(hex("05 00"));
        c.readExact(10);
        c.send(hex("05 00 00 07 00 00 00 00") + "target data\r\n");
        c.waitForClientClose(5000);
    });
    Tunneled t(socksTo(server, TSocksVersion::svSocks5), QStringLiteral("127.0.0.1"), 80);
    EXPECT_EQ(t.open(), QStringLiteral("Unknown socks error."));
}

// The clients count received bytes as transfer progress; the handshake must not show up there.
TEST(SocksTunnel, ReceiveHookSeesOnlyTheTargetsBytes) {
    ScriptedServer server([](ScriptedConnection& c) { grantSocks5(c, 10); });
    Tunneled t(socksTo(server, TSocksVersion::svSocks5), QStringLiteral("127.0.0.1"), 80);
    qint64 counted = 0;
    t.io.OnReceived = [&](qint64 n) { counted += n; };
    ASSERT_EQ(t.open(), QString());
    EXPECT_EQ(t.io.ReadLn(), "from target");
    EXPECT_EQ(counted, 13);
}

// The transport keeps its own copy: changing the caller's settings afterwards changes nothing.
TEST(SocksTunnel, TransportKeepsThePrivateCopyTakenWhenTheTunnelWasSet) {
    ScriptedServer server([](ScriptedConnection& c) { grantSocks5(c, 10); });
    TIdSocksInfo socks = socksTo(server, TSocksVersion::svSocks5);
    Tunneled t(socks, QStringLiteral("127.0.0.1"), 80);
    socks.Version = TSocksVersion::svSocks4;
    socks.Port = 1;
    ASSERT_EQ(t.open(), QString());
    EXPECT_EQ(t.io.ReadLn(), "from target");
}

TEST(SocksTunnel, NoSocksVersionConnectsDirectly) {
    ScriptedServer target([](ScriptedConnection& c) { c.send("direct\r\n"); });
    TIdSocksInfo socks;
    socks.Host = QStringLiteral("127.0.0.1");
    socks.Port = 1;
    Tunneled t(socks, QStringLiteral("127.0.0.1"), target.port());
    ASSERT_EQ(t.open(), QString());
    EXPECT_EQ(t.io.ReadLn(), "direct");
}

} // namespace
} // namespace hl
