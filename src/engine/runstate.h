#pragma once
// The state of download runs, owned by the front end for its whole life and lent to each run.
#include "engine/outputreservations.h"
#include "engine/proxyrotation.h"
#include "engine/runcounters.h"
#include "engine/stopsignal.h"
#include "engine/transferslots.h"

#include <atomic>

namespace hl {

struct RunState {
    StopSignal StopRequested;       // raised by STOP; cleared when a run starts
    RunCounters Counters;           // zeroed when a run starts
    std::atomic<int> LineNumber{0}; // 1-based line being fetched by a sequential run
    std::atomic<int> LineCount{0};  // list length when a sequential run started
    std::atomic<quint32> StartTick{0};
    // The files that downloads hold while they transfer; has its own lock.
    OutputReservations Reservations;
    // The downloads in progress; has its own lock. Slot numbers run on across runs.
    TransferSlots Slots;
    // Set up when a run starts and advanced by its URLs, only inside window actions
    // (DownloadWindow::Synchronize); the next run starts at the first line again.
    ProxyRotation Proxies;
};

} // namespace hl
