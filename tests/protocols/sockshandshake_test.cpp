#include "protocols/sockshandshake.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using Step = SocksHandshake::Step;

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

SocksRequest socks5To(const QString& host, const QString& user = {}, const QString& password = {}) {
    SocksRequest request;
    request.version = TSocksVersion::svSocks5;
    request.username = user;
    request.password = password;
    request.targetHost = host;
    request.targetPort = 80;
    return request;
}

// Walks a handshake up to its connect request, answering greeting and sub-negotiation with success.
QByteArray connectRequestFor(SocksHandshake& steps) {
    for (;;) {
        const QByteArray message = steps.outgoing();
        if (steps.step() == Step::ReadConnectReply) return message;
        steps.received(steps.step() == Step::ReadGreetingReply ? hex("05") + message.at(2) : hex("01 00"));
    }
}

TEST(SocksHandshakeSteps, Socks5WithCredentialsGoesThroughEveryStep) {
    SocksHandshake steps(socks5To(QStringLiteral("localhost"), QStringLiteral("u"), QStringLiteral("p")));
    EXPECT_EQ(steps.step(), Step::SendGreeting);
    EXPECT_EQ(steps.outgoing(), hex("05 01 02"));
    EXPECT_EQ(steps.expected(), 2);
    steps.received(hex("05 02"));
    EXPECT_EQ(steps.step(), Step::SendCredentials);
    EXPECT_EQ(steps.outgoing(), hex("01 01 75 01 70"));
    steps.received(hex("01 00"));
    EXPECT_EQ(steps.outgoing(), hex("05 01 00 03 09") + "localhost" + hex("00 50"));
    EXPECT_EQ(steps.expected(), 5);
    steps.received(hex("05 00 00 03 14"));
    EXPECT_EQ(steps.step(), Step::ReadRestOfConnectReply);
    EXPECT_EQ(steps.expected(), 22); // 20 name bytes and the port: 27 bytes in all
    steps.received(QByteArray(22, 'x'));
    EXPECT_TRUE(steps.done());
}

TEST(SocksHandshakeSteps, NamesAndCredentialsAreSevenBitAsciiCutTo255Bytes) {
    const QString longName = QString(300, QLatin1Char('n'));
    SocksHandshake named(socks5To(longName));
    EXPECT_EQ(connectRequestFor(named), hex("05 01 00 03 ff") + QByteArray(255, 'n') + hex("00 50"));

    SocksHandshake withUser(
        socks5To(QStringLiteral("h"), QString(256, QLatin1Char('u')), QStringLiteral("p\u00e4\u20ac")));
    withUser.outgoing();
    withUser.received(hex("05 02"));
    EXPECT_EQ(withUser.outgoing(), hex("01 ff") + QByteArray(255, 'u') + hex("03") + "p??");
}

TEST(SocksHandshakeSteps, Socks5AddressTypeFollowsTheTargetHost) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"10.0.0.1", hex("01 0a 00 00 01")},
        {"::1", hex("04 00000000000000000000000000000001")},
        {"[2001:db8::2]", hex("04 20010db8000000000000000000000002")},
        {"10.0.0.256", hex("03 0a") + "10.0.0.256"},
    };
    for (const auto& [host, address] : cases) {
        SCOPED_TRACE(host);
        SocksHandshake steps(socks5To(QString::fromLatin1(host)));
        EXPECT_EQ(connectRequestFor(steps), hex("05 01 00") + address + hex("00 50"));
    }
}

TEST(SocksHandshakeSteps, Socks4UserIdAndHostStayOneStringEachWhateverTheyHold) {
    SocksRequest request;
    request.version = TSocksVersion::svSocks4A;
    request.username = QStringLiteral("u\u0000v");
    request.targetHost = QStringLiteral("h\u0000x");
    request.targetPort = 80;
    SocksHandshake steps(request);
    EXPECT_EQ(steps.outgoing(), hex("04 01 0050 00000001") + "u?v" + hex("00") + "h?x" + hex("00"));
}

} // namespace
} // namespace hl
