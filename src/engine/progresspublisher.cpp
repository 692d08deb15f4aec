#include "engine/progresspublisher.h"

#include "engine/clock.h"

namespace hl {

ProgressPublisher::ProgressPublisher(DownloadWindow& window, RunState& state, const Clock& clock)
    : window_(window), state_(state), clock_(clock) {}

void ProgressPublisher::Restart() {
    bytes_ = 0;
    transferLength_.reset();
}

void ProgressPublisher::Report(qint64 slot, qint64 bytes) {
    // A count that went back started over without a Restart: all of it is new.
    if (bytes < bytes_) Restart();
    state_.Counters.BytesReceived += bytes - bytes_;
    bytes_ = bytes;
    if (!transferLength_) transferLength_ = length_ ? length_() : std::nullopt;
    state_.Slots.RecordWork(slot, bytes, clock_.nowMs(), *transferLength_);
    window_.ProgressPublished({slot, bytes, *transferLength_});
}

} // namespace hl
