#pragma once
// The counters of a run, changed by many workers at once.
#include <atomic>
#include <cstdint>

namespace hl {

struct RunCounters {
    std::atomic<int64_t> CountTotal{0};       // list lines when the run began
    std::atomic<int64_t> CountDownloading{0}; // URLs whose transfer is under way
    std::atomic<int64_t> CountFinished{0};    // URLs downloaded or skipped
    std::atomic<int64_t> CountErrors{0};      // URLs that ended with an error
    // Reply body bytes the run's transfers received, as they came (a chunked body with its framing).
    std::atomic<int64_t> BytesReceived{0};

    void Reset(int64_t total) {
        CountTotal = total;
        CountDownloading = 0;
        CountFinished = 0;
        CountErrors = 0;
        BytesReceived = 0;
    }
};

} // namespace hl
