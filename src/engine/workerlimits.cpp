#include "engine/workerlimits.h"

#include <algorithm>
#include <thread>

namespace hl {

WorkerLimits WorkerLimitsFor(int processors) {
    processors = std::max(processors, 1);
    return {std::max(processors / 4, 2), 2 * processors};
}

WorkerLimits DefaultWorkerLimits() {
    return WorkerLimitsFor(static_cast<int>(std::thread::hardware_concurrency()));
}

} // namespace hl
