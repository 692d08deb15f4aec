#include "engine/parallelloop.h"

namespace hl {

ParallelLoop::ParallelLoop(int64_t count, Body body, std::function<bool()> stopped)
    : count_(count), body_(std::move(body)), stopped_(std::move(stopped)) {}

bool ParallelLoop::HasMore() const {
    return !failed_ && !stopped_() && next_.load() < count_;
}

bool ParallelLoop::Take(int64_t& index) {
    if (failed_ || stopped_()) return false;
    index = next_.fetch_add(1);
    return index < count_;
}

void ParallelLoop::Run(int64_t index) noexcept {
    try {
        body_(index);
    } catch (...) {
        std::lock_guard lock(errorMutex_);
        if (!error_) error_ = std::current_exception();
        failed_ = true;
    }
}

void ParallelLoop::Work() noexcept {
    int64_t index = 0;
    while (Take(index))
        Run(index);
}

void ParallelLoop::RethrowError() const {
    if (error_) std::rethrow_exception(error_);
}

} // namespace hl
