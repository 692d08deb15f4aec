#include "engine/intervaltimer.h"
#include "support/manualclock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <thread>

namespace hl {
namespace {

class DeadlineTimerTest : public ::testing::Test {
protected:
    // Runs the event loop for ms milliseconds, or until done() holds; returns done().
    static bool spin(
        int ms, const std::function<bool()>& done = [] { return false; }) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (!done() && elapsed.elapsed() < ms) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }

    int argc_ = 1;
    char name_[16] = "timer-test";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication application_{argc_, argv_};
    std::shared_ptr<test::ManualClock> clock = std::make_shared<test::ManualClock>();
    int timeouts = 0;
};

// The clock, not the Qt timer, decides: a delay far beyond a 32-bit interval is neither cut short
// nor wrapped, and it fires as soon as the clock reaches the deadline.
TEST_F(DeadlineTimerTest, KeepsADeadlineBeyondA32BitIntervalExactly) {
    const qint64 longest = qint64{999999999} * 1000;
    const auto timer = MakeDeadlineTimer(clock, 5);
    timer->onTimeout = [this] { ++timeouts; };
    timer->start(longest);
    EXPECT_TRUE(timer->isActive());
    spin(40);
    clock->now += longest - 1;
    spin(40);
    EXPECT_EQ(timeouts, 0);
    clock->now += 1;
    EXPECT_TRUE(spin(5000, [this] { return timeouts == 1; }));

    // The next interval counts from that timeout.
    clock->now += longest - 1;
    spin(40);
    EXPECT_EQ(timeouts, 1);
    clock->now += 1;
    EXPECT_TRUE(spin(5000, [this] { return timeouts == 2; }));

    timer->stop();
    clock->now += 2 * longest;
    spin(40);
    EXPECT_EQ(timeouts, 2);
    EXPECT_FALSE(timer->isActive());
}

TEST_F(DeadlineTimerTest, RepeatsOnTheSteadyClockUntilStoppedFromItsOwnTimeout) {
    const auto timer = MakeDeadlineTimer(steadyClock());
    QElapsedTimer elapsed;
    timer->onTimeout = [&] {
        if (++timeouts == 3) timer->stop();
    };
    elapsed.start();
    timer->start(20);
    EXPECT_TRUE(spin(5000, [this] { return timeouts == 3; }));
    EXPECT_GE(elapsed.elapsed(), 60);
    spin(60);
    EXPECT_EQ(timeouts, 3);
}

} // namespace
} // namespace hl
