#include "engine/workforwarder.h"

#include "engine/clock.h"

namespace hl {

WorkForwarder::WorkForwarder(DownloadActions& actions, const EngineEnvironment& environment,
                             bool multithreaded)
    : actions_(actions), environment_(environment), multithreaded_(multithreaded) {}

void WorkForwarder::Report(qint64 slot, qint64 bytes) {
    bytes_ = bytes;
    forwarded_ = false;
    if (environment_.clock->nowMs() - lastForwardMs_ >= environment_.workUpdateIntervalMs) forward(slot);
}

void WorkForwarder::Flush(qint64 slot) {
    if (!forwarded_) forward(slot);
}

void WorkForwarder::forward(qint64 slot) {
    actions_.RecordWork(slot, bytes_, multithreaded_, progress_ ? progress_(bytes_) : std::nullopt);
    lastForwardMs_ = environment_.clock->nowMs();
    forwarded_ = true;
}

} // namespace hl
