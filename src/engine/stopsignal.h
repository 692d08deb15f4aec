#pragma once
// The run's stop request: a flag that every loop reads without locking, and a wait that ends early
// when the flag is raised.
#include <QtGlobal>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace hl {

class StopSignal {
public:
    // Raises the flag and wakes every waiter. Any thread; not from a signal handler.
    void request();
    // Lowers the flag; when a run starts.
    void clear() { requested_.store(false); }
    bool requested() const { return requested_.load(std::memory_order_relaxed); }
    // Blocks the calling thread up to ms milliseconds; returns early (true) on a stop request.
    bool waitFor(qint64 ms);

private:
    std::atomic<bool> requested_{false};
    std::mutex mutex_;
    std::condition_variable woken_;
};

} // namespace hl
