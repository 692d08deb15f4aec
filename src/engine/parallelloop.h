#pragma once
// The shared core of the two parallel engines: hands the indices of a loop to whichever thread
// asks next, stops handing them out on a stop request or after the first error, and keeps that
// error for the thread that started the loop.
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>

namespace hl {

class ParallelLoop {
public:
    using Body = std::function<void(int64_t index)>;

    // stopped is read before each index is handed out; it must be thread-safe.
    ParallelLoop(int64_t count, Body body, std::function<bool()> stopped);

    // Takes the next index; false when none is left (or the loop stops).
    bool Take(int64_t& index);
    // Runs one iteration; an exception is kept (the first one) and ends the handing out.
    void Run(int64_t index) noexcept;
    // Runs iterations on the calling thread until none is left.
    void Work() noexcept;
    // Whether an index would still be handed out now.
    bool HasMore() const;
    // Rethrows the first error of an iteration, if any. Call after every worker has finished.
    void RethrowError() const;

private:
    const int64_t count_;
    const Body body_;
    const std::function<bool()> stopped_;
    std::atomic<int64_t> next_{0};
    std::atomic<bool> failed_{false};
    std::mutex errorMutex_;
    std::exception_ptr error_;
};

} // namespace hl
