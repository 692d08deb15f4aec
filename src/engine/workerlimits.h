#pragma once
// The default worker counts of parallel runs, from the number of logical processors.
namespace hl {

struct WorkerLimits {
    int DefaultMinWorkers = 2; // processors div 4, at least 2
    int DefaultMaxWorkers = 4; // twice the processors
};

WorkerLimits WorkerLimitsFor(int processors);
WorkerLimits DefaultWorkerLimits();

} // namespace hl
