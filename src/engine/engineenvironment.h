#pragma once
// What a run takes from its surroundings rather than from the window: name resolution, time,
// worker limits. Tests replace these to stay on loopback and avoid sleeping.
#include "engine/clock.h"
#include "engine/workerlimits.h"
#include "protocols/hostresolver.h"

#include <functional>
#include <memory>

namespace hl {

struct EngineEnvironment {
    std::shared_ptr<const HostResolver> resolver = systemResolver();
    std::shared_ptr<const Clock> clock = steadyClock();
    WorkerLimits workerLimits = DefaultWorkerLimits();
    // The pause between URLs; empty: wait on the clock, waking early on a stop request.
    std::function<void(qint64 ms)> pumpingDelay;
};

} // namespace hl
