#include "services/checker.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace hl {

// Owned jointly by the thread and the TChecker, so that either may end first.
struct TChecker::Shared {
    UpdateCheckEnvironment environment;
    ProgramIdentity identity;
    UpdateCheckOutcome outcome;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> finished{false};
    std::mutex mutex;
    std::condition_variable ended;
};

TChecker::TChecker(UpdateCheckEnvironment environment, ProgramIdentity identity)
    : shared_(std::make_shared<Shared>()) {
    shared_->environment = std::move(environment);
    shared_->identity = std::move(identity);
    std::thread([shared = shared_] {
        UpdateCheckOutcome outcome = CheckNow(shared->environment, shared->identity,
                                              [&shared] { return shared->stopRequested.load(); });
        std::lock_guard lock(shared->mutex);
        shared->outcome = std::move(outcome);
        // Published last, so that whoever sees it sees the outcome complete.
        shared->finished.store(true, std::memory_order_release);
        shared->ended.notify_all();
    }).detach();
}

TChecker::~TChecker() {
    shared_->stopRequested = true;
    std::unique_lock lock(shared_->mutex);
    shared_->ended.wait_for(lock, std::chrono::seconds(1), [this] { return shared_->finished.load(); });
}

bool TChecker::Finished() const {
    return shared_->finished.load(std::memory_order_acquire);
}

const UpdateCheckOutcome& TChecker::Outcome() const {
    return shared_->outcome;
}

} // namespace hl
