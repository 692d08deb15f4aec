#include "engine/workforwarder.h"

#include "engine/clock.h"

namespace hl {

WorkForwarder::WorkForwarder(DownloadActions& actions, const EngineEnvironment& environment,
                             bool multithreaded)
    : actions_(actions), environment_(environment), multithreaded_(multithreaded) {}

void WorkForwarder::Report(qint64 slot, qint64 bytes) {
    // A count that went back started over without a Restart: all of it is new.
    actions_.CountReceivedBytes(bytes >= bytes_ ? bytes - bytes_ : bytes);
    bytes_ = bytes;
    forwarded_ = false;
    if (environment_.clock->nowMs() - lastForwardMs_ >= environment_.workUpdateIntervalMs) forward(slot);
}

void WorkForwarder::Flush(qint64 slot) {
    if (!forwarded_) forward(slot);
}

void WorkForwarder::forward(qint64 slot) {
    actions_.RecordWork(slot, bytes_, length_ ? length_() : std::nullopt, multithreaded_);
    lastForwardMs_ = environment_.clock->nowMs();
    forwarded_ = true;
}

} // namespace hl
