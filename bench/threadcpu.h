#pragma once
#include <QtGlobal>
#include <ctime>

namespace bench {

// CPU time the calling thread has used, in nanoseconds: what work costs, whatever else the
// machine runs at the same time.
inline qint64 threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace bench
