#include "protocols/happyeyeballs.h"
#include "protocols/idexceptions.h"
#include "support/blackholelistener.h"
#include "support/loopbacksocket.h"
#include "support/qtprinters.h"
#include "support/scriptedserver.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace hl {
namespace {

using test::kLoopbackIPv4;
using test::kLoopbackIPv6;
using test::ScriptedConnection;
using test::ScriptedServer;

const IpAddress kV4 = IpAddress::fromIPv4(0x7F000001u);
const IpAddress kV6 = *IpAddress::parse(QStringLiteral("::1"));
// Long enough that a test would time out if the race waited for it.
constexpr int kNeverMs = 600000;

IpAddress v6(const char* text) {
    return *IpAddress::parse(QLatin1String(text));
}

TEST(HappyEyeballs, AttemptsAlternateBetweenTheFamiliesStartingWithTheFirst) {
    const IpAddress a4 = IpAddress::fromIPv4(0x0A000001u), b4 = IpAddress::fromIPv4(0x0A000002u);
    const IpAddress a6 = v6("2001:db8::1"), b6 = v6("2001:db8::2"), c6 = v6("2001:db8::3");
    using Order = std::vector<IpAddress>;
    EXPECT_EQ(interleaveFamilies({a6, b6, c6, a4, b4}), (Order{a6, a4, b6, b4, c6}));
    EXPECT_EQ(interleaveFamilies({a4, a6, b6}), (Order{a4, a6, b6}));
    EXPECT_EQ(interleaveFamilies({a4, b4}), (Order{a4, b4}));
    EXPECT_EQ(interleaveFamilies({}), Order{});
}

// The sockets of this process still waiting for an answer from port (state SYN_SENT).
int pendingConnectsTo(quint16 port) {
    int count = 0;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        QFile file{QString::fromLatin1(table)};
        if (!file.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() < 4 || fields[3] != "02") continue;
            if (fields[2].split(':').value(1).toUInt(nullptr, 16) == port) ++count;
        }
    }
    return count;
}

struct Outcome {
    QString winner; // the address connected to, or the error
    int descriptor = -1;
};

Outcome race(const std::vector<IpAddress>& addresses, quint16 port, int attemptDelayMs,
             int timeoutMs = 5000) {
    Outcome outcome;
    try {
        const RaceWinner winner = connectFirstReachable(addresses, port, timeoutMs, attemptDelayMs, {}, 100);
        outcome.winner = winner.address.toString();
        outcome.descriptor = winner.descriptor;
    } catch (const Exception& e) {
        outcome.winner = e.message();
    }
    return outcome;
}

class HappyEyeballsRace : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::ipv6LoopbackAvailable()) GTEST_SKIP() << "no IPv6 on the loopback interface";
    }
    void TearDown() override {
        if (outcome.descriptor >= 0) ::close(outcome.descriptor);
    }
    Outcome outcome;
};

// An address that never answers holds its attempt only until the delay has passed; the next
// family's connection wins and the hanging attempt is closed.
TEST_F(HappyEyeballsRace, AHangingFirstAddressLosesToTheNextFamilyAfterTheDelay) {
    ScriptedServer live([](ScriptedConnection&) {}, kLoopbackIPv4);
    const test::BlackholeListener dead(kLoopbackIPv6, live.port());
    outcome = race({kV6, kV4}, live.port(), 20);
    EXPECT_EQ(outcome.winner, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(pendingConnectsTo(live.port()), 0);
}

// A refused attempt hands over at once, without waiting for the delay; the first family wins
// when it answers, and the other is never tried.
TEST_F(HappyEyeballsRace, RefusedAttemptsHandOverAtOnceAndTheFirstFamilyWinsWhenItAnswers) {
    ScriptedServer onlyV6([](ScriptedConnection&) {}, kLoopbackIPv6);
    outcome = race({kV4, kV6}, onlyV6.port(), kNeverMs);
    EXPECT_EQ(outcome.winner, QStringLiteral("::1"));
    ::close(std::exchange(outcome.descriptor, -1));

    ScriptedServer v6([](ScriptedConnection&) {}, kLoopbackIPv6);
    ScriptedServer v4([](ScriptedConnection&) {}, kLoopbackIPv4, v6.port());
    outcome = race({kV6, kV4}, v6.port(), kNeverMs);
    EXPECT_EQ(outcome.winner, QStringLiteral("::1"));
    EXPECT_EQ(v4.connectionCount(), 0);
}

TEST_F(HappyEyeballsRace, WhenNoAddressAnswersTheLastFailureOrTheTimeLimitIsTheError) {
    const test::BlackholeListener deadV4(kLoopbackIPv4);
    const test::BlackholeListener deadV6(kLoopbackIPv6, deadV4.port());
    EXPECT_EQ(race({kV6, kV4}, deadV4.port(), 20, 300).winner, QStringLiteral("Connect timed out."));
    EXPECT_EQ(pendingConnectsTo(deadV4.port()), 0);

    const test::ClosedPort closed;
    EXPECT_EQ(race({kV6, kV4}, closed.port(), kNeverMs).winner,
              QStringLiteral("Socket Error # 10061\r\nConnection refused."));
}

} // namespace
} // namespace hl
