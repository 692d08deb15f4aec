#include "engine/stopsignal.h"

#include <chrono>

namespace hl {

void StopSignal::request() {
    {
        std::lock_guard lock(mutex_);
        requested_.store(true);
    }
    woken_.notify_all();
}

bool StopSignal::waitFor(qint64 ms) {
    std::unique_lock lock(mutex_);
    return woken_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return requested_.load(); });
}

} // namespace hl
