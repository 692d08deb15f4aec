#include "engine/schedule.h"
#include "support/manualtimer.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

constexpr qint64 kMinute = 60000;

// A front end whose runs the test ends by hand; the timer runs on the test's time.
class ScheduleTest : public ::testing::Test {
protected:
    std::unique_ptr<IntervalTimer> makeTimer() {
        auto made = std::make_unique<test::ManualTimer>();
        timer = made.get();
        return made;
    }
    // A run started by the user, not by the schedule.
    void startByHand() { idle = false; }
    void endRun() {
        idle = true;
        schedule.RunEnded();
    }
    // A schedule armed with no run going on and its timer stopped.
    bool disarmed() const { return !schedule.ScheduleActive() && !timer->isActive(); }

    test::ManualTimer* timer = nullptr;
    bool idle = true;
    bool refuse = false; // the run-start checks fail (empty list, unwritable folder)
    int presses = 0;     // presses of "DOWNLOAD ALL"
    int runs = 0;        // runs those presses started
    Schedule schedule{makeTimer(),
                      {[this] { return idle; },
                       [this] {
                           ++presses;
                           if (refuse) return false;
                           ++runs;
                           idle = false;
                           return true;
                       }}};
};

TEST_F(ScheduleTest, NothingIsArmedAtStart) {
    EXPECT_TRUE(disarmed());
    EXPECT_EQ(schedule.IntervalMs(), kMinute);
    EXPECT_EQ(schedule.PauseBetweenUrlsMs(), 0);
}

TEST_F(ScheduleTest, OkWithNoBoxCheckedStartsOneRunOneDelayLaterAndDisarmsAfterIt) {
    schedule.Arm({60});
    EXPECT_TRUE(schedule.ScheduleActive());
    EXPECT_EQ(timer->intervalMs(), kMinute);
    timer->advance(kMinute - 1);
    EXPECT_EQ(runs, 0);
    timer->advance(1);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(timer->isActive()); // Running: the tick stopped the timer
    EXPECT_TRUE(schedule.ScheduleActive());
    endRun();
    EXPECT_TRUE(disarmed());
    timer->advance(100 * kMinute);
    EXPECT_EQ(runs, 1);
}

TEST_F(ScheduleTest, StartNowRunsAtOnceAndPeriodicRunsAgainOneDelayAfterEachEnd) {
    for (bool periodic : {false, true}) {
        runs = 0;
        schedule.Arm({60, true, periodic});
        EXPECT_EQ(runs, 1) << periodic;
        EXPECT_FALSE(timer->isActive()) << periodic;
        timer->advance(10 * kMinute); // the run takes ten minutes; the delay counts from its end
        endRun();
        if (!periodic) {
            EXPECT_TRUE(disarmed());
            continue;
        }
        for (int run = 2; run <= 3; ++run) {
            EXPECT_TRUE(timer->isActive());
            timer->advance(kMinute - 1);
            EXPECT_EQ(runs, run - 1);
            timer->advance(1);
            EXPECT_EQ(runs, run);
            endRun();
        }
        schedule.Disarm();
    }
}

TEST_F(ScheduleTest, ATickDuringARunStartsNothingAndComesAgainOneIntervalLater) {
    schedule.Arm({10});
    startByHand();
    timer->advance(10000);
    timer->advance(10000);
    EXPECT_EQ(presses, 0);
    EXPECT_TRUE(timer->isActive());
    idle = true; // the hand-started run ended just now
    timer->advance(10000);
    EXPECT_EQ(runs, 1);
}

// A run started by hand while the schedule waits is not the scheduled run: its end leaves the
// schedule armed (the dialog keeps showing "STOP"), and the scheduled run still comes when due.
TEST_F(ScheduleTest, ARunStartedByHandWhileWaitingLeavesTheScheduledRunToCome) {
    for (bool periodic : {false, true}) {
        runs = 0;
        schedule.Arm({60, false, periodic, true});
        startByHand();
        timer->advance(kMinute / 2);
        endRun();
        EXPECT_TRUE(schedule.ScheduleActive()) << periodic;
        EXPECT_EQ(schedule.PauseBetweenUrlsMs(), kMinute) << periodic;
        timer->advance(kMinute / 2);
        EXPECT_EQ(runs, 1) << periodic;
        endRun();
        EXPECT_EQ(schedule.ScheduleActive(), periodic);
        schedule.Disarm();
    }
}

TEST_F(ScheduleTest, StartNowDuringARunLeavesTheTimerStoppedUntilThatRunEnds) {
    for (bool periodic : {false, true}) {
        startByHand();
        schedule.Arm({60, true, periodic});
        EXPECT_EQ(presses, 0);
        EXPECT_FALSE(timer->isActive());
        EXPECT_TRUE(schedule.ScheduleActive());
        endRun();
        EXPECT_EQ(timer->isActive(), periodic);
        EXPECT_EQ(schedule.ScheduleActive(), periodic);
        schedule.Disarm();
    }
}

// A press that the run-start checks refuse ends like a run, so the schedule never stays armed
// without a timer or a run to end it.
TEST_F(ScheduleTest, ARefusedRunEndsAOneTimeScheduleAndAPeriodicOneTriesAgain) {
    refuse = true;
    schedule.Arm({60, true});
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(disarmed());

    schedule.Arm({60, true, true});
    EXPECT_EQ(presses, 2);
    EXPECT_TRUE(schedule.ScheduleActive());
    timer->advance(kMinute);
    EXPECT_EQ(presses, 3);
    refuse = false;
    timer->advance(kMinute);
    EXPECT_EQ(runs, 1);
}

TEST_F(ScheduleTest, DisarmStopsTheTimerAndThePauseButKeepsDelayEach) {
    schedule.Arm({5, false, true, true});
    EXPECT_EQ(schedule.PauseBetweenUrlsMs(), 5000);
    schedule.Disarm();
    EXPECT_TRUE(disarmed());
    EXPECT_FALSE(schedule.SchedulePeriodic());
    EXPECT_TRUE(schedule.ScheduleDelayEach());
    EXPECT_EQ(schedule.PauseBetweenUrlsMs(), 0);
    timer->advance(100 * kMinute);
    EXPECT_EQ(presses, 0);
}

TEST_F(ScheduleTest, TheLongestDelayIsKeptExactly) {
    const qint64 longest = qint64{999999999} * 1000;
    schedule.Arm({999999999, false, false, true});
    EXPECT_EQ(schedule.IntervalMs(), longest);
    EXPECT_EQ(timer->intervalMs(), longest);
    EXPECT_EQ(schedule.PauseBetweenUrlsMs(), longest);
    timer->advance(longest - 1);
    EXPECT_EQ(runs, 0);
    timer->advance(1);
    EXPECT_EQ(runs, 1);
}

} // namespace
} // namespace hl
