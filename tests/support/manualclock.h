#pragma once
// A Clock that stands still until the test moves it, so that elapsed times and deadlines are
// exact and nothing waits for them.
#include "engine/clock.h"

#include <atomic>

namespace hl::test {

class ManualClock final : public Clock {
public:
    qint64 nowMs() const override { return now.load(); }
    std::atomic<qint64> now{5000};
};

} // namespace hl::test
