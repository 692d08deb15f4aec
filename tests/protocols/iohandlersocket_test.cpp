#include "protocols/idexceptions.h"
#include "protocols/iohandlersocket.h"
#include "support/scriptedserver.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using test::ScriptedConnection;
using test::ScriptedServer;

class NoNamesResolver final : public HostResolver {
public:
    std::optional<quint32> lookup(const QString&) const override { return std::nullopt; }
};

void openTo(TIdIOHandlerSocket& io, const ScriptedServer& server,
            const QString& host = QStringLiteral("127.0.0.1")) {
    io.Host = host;
    io.Port = server.port();
    io.ReadTimeout = 2000;
    io.Open();
}

TEST(IOHandlerSocket, ReadsLinesWithAndWithoutCarriageReturn) {
    ScriptedServer server([](ScriptedConnection& c) { c.send("first\r\nsecond\n\r\nlast"); });
    TIdIOHandlerSocket io;
    qint64 counted = 0;
    io.OnReceived = [&](qint64 n) { counted += n; };
    openTo(io, server);
    EXPECT_EQ(io.ReadLn(), "first");
    EXPECT_EQ(io.ReadLn(), "second");
    EXPECT_EQ(io.ReadLn(), "");
    EXPECT_EQ(counted, 16); // line ends count as received bytes
    // A line the peer never ends: the close surfaces as a graceful close, not as data.
    EXPECT_THROW(io.ReadLn(), EIdConnClosedGracefully);
    char buffer[16];
    EXPECT_EQ(io.ReadSome(buffer, sizeof buffer), 4);
    EXPECT_EQ(QByteArray(buffer, 4), "last");
    EXPECT_EQ(io.ReadSome(buffer, sizeof buffer), 0);
    EXPECT_FALSE(io.Connected());
}

TEST(IOHandlerSocket, LineLengthLimitIs16384Characters) {
    ScriptedServer server([](ScriptedConnection& c) {
        c.send(QByteArray(16384, 'a') + "\r\n" + QByteArray(16385, 'b') + "\r\n");
        c.waitForClientClose(5000);
    });
    TIdIOHandlerSocket io;
    openTo(io, server);
    EXPECT_EQ(io.ReadLn().size(), 16384);
    EXPECT_THROW(io.ReadLn(), EIdReadLnMaxLineLengthExceeded);
}

TEST(IOHandlerSocket, ReadTimesOutWhenThePeerStaysSilent) {
    ScriptedServer server([](ScriptedConnection& c) { c.waitForClientClose(5000); });
    TIdIOHandlerSocket io;
    io.Host = QStringLiteral("127.0.0.1");
    io.Port = server.port();
    io.ReadTimeout = 200;
    io.Open();
    EXPECT_THROW(io.ReadLn(), EIdReadTimeout);
}

TEST(IOHandlerSocket, ResolvesLocalhostInAnyCaseWithoutTheResolver) {
    ScriptedServer server([](ScriptedConnection& c) { c.send("hello\r\n"); });
    TIdIOHandlerSocket io;
    io.Resolver = std::make_shared<NoNamesResolver>();
    openTo(io, server, QStringLiteral("LocalHost"));
    EXPECT_EQ(io.ReadLn(), "hello");
}

TEST(IOHandlerSocket, UnknownNameIsSocketError11001) {
    TIdIOHandlerSocket io;
    io.Resolver = std::make_shared<NoNamesResolver>();
    io.Host = QStringLiteral("no-such-host.invalid");
    io.Port = 80;
    try {
        io.Open();
        FAIL();
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.LastError, 11001);
        EXPECT_EQ(e.message(), QStringLiteral("Socket Error # 11001\r\nHost not found."));
    }
}

TEST(IOHandlerSocket, RefusedConnectionIsSocketError10061) {
    quint16 closedPort;
    { // a port that was just free: nothing listens there
        ScriptedServer server([](ScriptedConnection&) {});
        closedPort = server.port();
    }
    TIdIOHandlerSocket io;
    io.Host = QStringLiteral("127.0.0.1");
    io.Port = closedPort;
    try {
        io.Open();
        FAIL();
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Socket Error # 10061\r\nConnection refused."));
    }
}

TEST(IOHandlerSocket, MissingHostOrPortAndDoubleOpenAreErrors) {
    TIdIOHandlerSocket io;
    EXPECT_THROW(io.Open(), EIdHostRequired);
    io.Host = QStringLiteral("127.0.0.1");
    EXPECT_THROW(io.Open(), EIdPortRequired);
    ScriptedServer server([](ScriptedConnection& c) { c.waitForClientClose(5000); });
    openTo(io, server);
    EXPECT_THROW(io.Open(), EIdAlreadyConnected);
}

TEST(IOHandlerSocket, DiscardNoticesAPeerThatClosedMeanwhile) {
    ScriptedServer server([](ScriptedConnection& c) {
        c.send("left over");
        c.close();
    });
    TIdIOHandlerSocket io;
    openTo(io, server);
    ASSERT_TRUE(server.waitForScripts(1));
    EXPECT_FALSE(io.DiscardInputAndCheck());
    EXPECT_FALSE(io.Connected());
}

} // namespace
} // namespace hl
