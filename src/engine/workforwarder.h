#pragma once
// A transfer's work reports on their way to the window. The client reports every received block,
// and every window update makes the worker wait, so the window sees at most one report per
// interval, and the last one of a transfer always (Flush). Used on one worker thread.
#include "engine/downloadactions.h"
#include "engine/engineenvironment.h"

#include <QtGlobal>
#include <functional>
#include <optional>

namespace hl {

class WorkForwarder {
public:
    // The body length that the current transfer announced; nothing: unknown.
    using LengthOf = std::function<std::optional<qint64>()>;

    // actions and environment must outlive the forwarder.
    WorkForwarder(DownloadActions& actions, const EngineEnvironment& environment, bool multithreaded);

    void SetLength(LengthOf length) { length_ = std::move(length); }
    // A new transfer (or attempt) counts from 0.
    void Restart() { bytes_ = 0; }
    // The transfer's running byte count; counted into the run's total at once, forwarded to slot
    // when the interval has passed.
    void Report(qint64 slot, qint64 bytes);
    // Forwards the last report when the window has not seen it yet.
    void Flush(qint64 slot);
    qint64 Bytes() const { return bytes_; }

private:
    void forward(qint64 slot);

    DownloadActions& actions_;
    const EngineEnvironment& environment_;
    const bool multithreaded_;
    LengthOf length_;
    qint64 bytes_ = 0;
    qint64 lastForwardMs_ = 0;
    bool forwarded_ = true;
};

} // namespace hl
