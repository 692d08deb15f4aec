#pragma once
// The thread of the update check: started once per program start, it runs CheckNow and publishes
// the outcome. It touches no window; the window polls Finished() on its own timer.
#include "services/updatecheck.h"

#include <memory>

namespace hl {

class TChecker {
public:
    // Starts the thread at once.
    TChecker(UpdateCheckEnvironment environment, ProgramIdentity identity);
    // Asks a check still running to stop and waits up to a second for it; a check that takes
    // longer (a name lookup cannot be cut short) finishes on its own, touching nothing but what it
    // shares with no one else, and frees itself.
    ~TChecker();
    TChecker(const TChecker&) = delete;
    TChecker& operator=(const TChecker&) = delete;

    // True once the check has ended; the outcome is final from then on. Any thread.
    bool Finished() const;
    // Only after Finished() returned true.
    const UpdateCheckOutcome& Outcome() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace hl
