#include "engine/workerpool.h"

#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

namespace hl {
namespace {

// Both engines: the first error ends the handing out of indices and reaches the caller; a stop
// request does the same without an error.
TEST(ParallelEngines, StopHandingOutIndicesOnErrorOrStop) {
    for (bool classic : {false, true}) {
        std::atomic<int> ran{0};
        std::atomic<bool> stop{false};
        const auto run = [&](const ParallelLoop::Body& body) {
            const auto stopped = [&] { return stop.load(); };
            if (classic) {
                WorkerPool pool({2, 4});
                pool.ParallelFor(1000, body, stopped);
            } else {
                ParallelForEach(1000, 4, body, stopped);
            }
        };
        EXPECT_THROW(run([&](int64_t i) {
                         ++ran;
                         if (i == 0) throw std::runtime_error("boom");
                         std::this_thread::sleep_for(std::chrono::milliseconds(1));
                     }),
                     std::runtime_error);
        EXPECT_LT(ran.load(), 100) << classic;

        ran = 0;
        run([&](int64_t) {
            if (++ran == 10) stop = true;
        });
        EXPECT_LT(ran.load(), 20) << classic;

        ran = 0;
        stop = false;
        run([&](int64_t) { ++ran; });
        EXPECT_EQ(ran.load(), 1000) << classic;
    }
}

TEST(WorkerPool, KeepsItsLimitsConsistent) {
    WorkerPool pool({2, 8});
    EXPECT_FALSE(pool.SetMaxWorkers(0));
    EXPECT_TRUE(pool.SetMaxWorkers(1));
    EXPECT_EQ(pool.MinWorkers(), 1);
    EXPECT_TRUE(pool.SetMinWorkers(3));
    EXPECT_EQ(pool.MaxWorkers(), 3);
    std::atomic<int> ran{0};
    pool.ParallelFor(
        0, [&](int64_t) { ++ran; }, [] { return false; });
    EXPECT_EQ(ran.load(), 0);
    EXPECT_EQ(pool.PeakWorkers(), 0);
}

} // namespace
} // namespace hl
