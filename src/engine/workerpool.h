#pragma once
// The classic engine's private thread pool. It starts with its minimum number of workers and adds
// one whenever every worker is busy while indices are waiting, up to its maximum; so a loop whose
// iterations block on the network soon runs on the maximum. The pool's threads end with the loop.
#include "engine/parallelloop.h"
#include "engine/workerlimits.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace hl {

class WorkerPool {
public:
    // Minimum DefaultMinWorkers, maximum DefaultMaxWorkers.
    explicit WorkerPool(const WorkerLimits& limits);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // A count below 1 is refused (false). A maximum below the minimum lowers the minimum with it.
    bool SetMinWorkers(int count);
    bool SetMaxWorkers(int count);
    int MinWorkers() const { return minWorkers_; }
    int MaxWorkers() const { return maxWorkers_; }

    // Runs body(i) for every i in [0, count) on the pool and blocks until all are done. Stops
    // handing out indices when stopped() turns true or an iteration throws; the first exception
    // is rethrown here. Not reentrant.
    void ParallelFor(int64_t count, const ParallelLoop::Body& body, const std::function<bool()>& stopped);

    // The most workers that ran at once in the last loop.
    int PeakWorkers() const { return peakWorkers_; }

private:
    void startWorker(ParallelLoop& loop); // mutex_ held
    void workerMain(ParallelLoop& loop);
    void joinAll();

    int minWorkers_;
    int maxWorkers_;
    std::mutex mutex_;
    std::condition_variable allDone_;
    std::vector<std::thread> threads_;
    int running_ = 0;
    int busy_ = 0;
    int peakWorkers_ = 0;
};

// The task engine: runs body(i) for every i in [0, count) on `tasks` threads (at most count) and
// blocks until all are done; stops and errors as WorkerPool::ParallelFor.
void ParallelForEach(int64_t count, int tasks, const ParallelLoop::Body& body,
                     const std::function<bool()>& stopped);

} // namespace hl
