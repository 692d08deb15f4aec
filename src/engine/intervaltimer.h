#pragma once
// A repeating timer whose interval is 64-bit milliseconds: the scheduler's delay reaches 999999999
// seconds, far beyond the 32-bit interval of an ordinary timer. Injectable, so that tests fire it
// instead of waiting for it.
#include "engine/clock.h"

#include <QtGlobal>
#include <functional>
#include <limits>
#include <memory>

namespace hl {

class IntervalTimer {
public:
    virtual ~IntervalTimer() = default;

    // (Re)starts the countdown: the first timeout comes intervalMs from now, each further one
    // intervalMs after the previous timeout, until stop().
    virtual void start(qint64 intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

    // Called on the timer's thread at each timeout; it may stop or restart the timer.
    std::function<void()> onTimeout;
};

// Makes a timer that belongs to the calling thread, which must run a Qt event loop.
using IntervalTimerFactory = std::function<std::unique_ptr<IntervalTimer>()>;

// A timer that keeps its deadline on clock exactly and waits for it in steps of at most
// longestStepMs on a Qt timer (whose interval is 32-bit), checking the clock after each step.
std::unique_ptr<IntervalTimer> MakeDeadlineTimer(std::shared_ptr<const Clock> clock,
                                                 int longestStepMs = std::numeric_limits<int>::max());

} // namespace hl
