#include "engine/workerpool.h"

#include <algorithm>

namespace hl {

WorkerPool::WorkerPool(const WorkerLimits& limits)
    : minWorkers_(std::max(limits.DefaultMinWorkers, 1)),
      maxWorkers_(std::max(limits.DefaultMaxWorkers, minWorkers_)) {}

WorkerPool::~WorkerPool() {
    joinAll();
}

bool WorkerPool::SetMinWorkers(int count) {
    if (count < 1) return false;
    minWorkers_ = count;
    maxWorkers_ = std::max(maxWorkers_, count);
    return true;
}

bool WorkerPool::SetMaxWorkers(int count) {
    if (count < 1) return false;
    maxWorkers_ = count;
    minWorkers_ = std::min(minWorkers_, count);
    return true;
}

void WorkerPool::startWorker(ParallelLoop& loop) {
    ++running_;
    peakWorkers_ = std::max(peakWorkers_, running_);
    threads_.emplace_back([this, &loop] { workerMain(loop); });
}

void WorkerPool::workerMain(ParallelLoop& loop) {
    int64_t index = 0;
    while (loop.Take(index)) {
        {
            std::lock_guard lock(mutex_);
            ++busy_;
            if (busy_ == running_ && running_ < maxWorkers_ && loop.HasMore()) startWorker(loop);
        }
        loop.Run(index);
        std::lock_guard lock(mutex_);
        --busy_;
    }
    std::lock_guard lock(mutex_);
    if (--running_ == 0) allDone_.notify_all();
}

void WorkerPool::joinAll() {
    std::vector<std::thread> threads;
    {
        std::unique_lock lock(mutex_);
        allDone_.wait(lock, [this] { return running_ == 0; });
        threads.swap(threads_);
    }
    for (std::thread& t : threads)
        t.join();
}

void WorkerPool::ParallelFor(int64_t count, const ParallelLoop::Body& body,
                             const std::function<bool()>& stopped) {
    ParallelLoop loop(count, body, stopped);
    {
        std::lock_guard lock(mutex_);
        peakWorkers_ = 0;
        const int64_t initial = std::min<int64_t>(minWorkers_, count);
        for (int64_t i = 0; i < initial; ++i)
            startWorker(loop);
    }
    joinAll();
    loop.RethrowError();
}

void ParallelForEach(int64_t count, int tasks, const ParallelLoop::Body& body,
                     const std::function<bool()>& stopped) {
    ParallelLoop loop(count, body, stopped);
    {
        std::vector<std::jthread> threads;
        const int64_t n = std::min<int64_t>(std::max(tasks, 1), count);
        for (int64_t i = 0; i < n; ++i)
            threads.emplace_back([&loop] { loop.Work(); });
    }
    loop.RethrowError();
}

} // namespace hl
