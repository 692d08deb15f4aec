#include "engine/clock.h"

#include <chrono>

namespace hl {

namespace {

class SteadyClock final : public Clock {
public:
    qint64 nowMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

} // namespace

std::shared_ptr<const Clock> steadyClock() {
    static const auto clock = std::make_shared<const SteadyClock>();
    return clock;
}

} // namespace hl
