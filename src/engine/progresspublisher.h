#pragma once
// A transfer's work reports, published as they come: the bytes go into the run's total and into the
// download's transfer slot, where the front ends read them on their timers. Nothing here waits for
// a front end's thread, so a report costs the same whatever the window is doing. Used on one worker
// thread.
#include "engine/downloadwindow.h"
#include "engine/runstate.h"

#include <QtGlobal>
#include <functional>
#include <optional>

namespace hl {

class Clock;

class ProgressPublisher {
public:
    // The body length that the current transfer announced; nothing: unknown.
    using LengthOf = std::function<std::optional<qint64>()>;

    // window, state and clock must outlive the publisher.
    ProgressPublisher(DownloadWindow& window, RunState& state, const Clock& clock);

    // Asked once per transfer, at its first report (the reply's head has arrived by then).
    void SetLength(LengthOf length) { length_ = std::move(length); }
    // A new transfer (or attempt) counts from 0.
    void Restart();
    // The transfer's running byte count, for slot.
    void Report(qint64 slot, qint64 bytes);
    qint64 Bytes() const { return bytes_; }

private:
    DownloadWindow& window_;
    RunState& state_;
    const Clock& clock_;
    LengthOf length_;
    std::optional<std::optional<qint64>> transferLength_; // asked at the transfer's first report
    qint64 bytes_ = 0;
};

} // namespace hl
