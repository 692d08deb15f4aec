#pragma once
// An IntervalTimer on the test's own time: nothing fires until the test moves the time on, so the
// scheduler's delays (up to 999999999 seconds) pass without waiting.
#include "engine/intervaltimer.h"

namespace hl::test {

class ManualTimer final : public IntervalTimer {
public:
    void start(qint64 intervalMs) override {
        intervalMs_ = intervalMs;
        remainingMs_ = intervalMs;
        active_ = true;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }

    // The interval of the last start.
    qint64 intervalMs() const { return intervalMs_; }

    // Moves the time on by ms, firing at each timeout that falls within it.
    void advance(qint64 ms) {
        while (active_ && intervalMs_ > 0 && ms >= remainingMs_) {
            ms -= remainingMs_;
            remainingMs_ = intervalMs_;
            if (onTimeout) onTimeout();
        }
        if (active_) remainingMs_ -= ms;
    }

private:
    qint64 intervalMs_ = 0;
    qint64 remainingMs_ = 0;
    bool active_ = false;
};

} // namespace hl::test
