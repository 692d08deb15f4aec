#include "engine/stopsignal.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace hl {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// The scheduler's longest pause, 999999999 seconds, neither ends early nor outlasts a stop request.
TEST(StopSignal, TheLongestPauseLastsUntilAStopRequestEndsItAtOnce) {
    StopSignal signal;
    std::atomic<bool> ended{false};
    bool stopped = false;
    std::thread waiter([&] {
        stopped = signal.waitFor(qint64{999999999} * 1000);
        ended = true;
    });
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_FALSE(ended);
    const auto requested = steady_clock::now();
    signal.request();
    waiter.join();
    EXPECT_TRUE(stopped);
    EXPECT_LT(steady_clock::now() - requested, milliseconds(1000));
}

TEST(StopSignal, AWaitWithoutARequestEndsAtItsTime) {
    StopSignal signal;
    const auto start = steady_clock::now();
    EXPECT_FALSE(signal.waitFor(30));
    EXPECT_GE(steady_clock::now() - start, milliseconds(30));
    signal.request();
    EXPECT_TRUE(signal.waitFor(10000)); // a request made before the wait ends it at once
}

} // namespace
} // namespace hl
