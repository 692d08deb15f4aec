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
    // The progress display for a byte count of the current transfer; nothing: length unknown.
    using ProgressFor = std::function<std::optional<int>(qint64 bytes)>;

    // actions and environment must outlive the forwarder.
    WorkForwarder(DownloadActions& actions, const EngineEnvironment& environment, bool multithreaded);

    void SetProgress(ProgressFor progress) { progress_ = std::move(progress); }
    // A new transfer (or attempt) counts from 0.
    void Restart() { bytes_ = 0; }
    // The transfer's running byte count; forwarded to slot when the interval has passed.
    void Report(qint64 slot, qint64 bytes);
    // Forwards the last report when the window has not seen it yet.
    void Flush(qint64 slot);
    qint64 Bytes() const { return bytes_; }

private:
    void forward(qint64 slot);

    DownloadActions& actions_;
    const EngineEnvironment& environment_;
    const bool multithreaded_;
    ProgressFor progress_;
    qint64 bytes_ = 0;
    qint64 lastForwardMs_ = 0;
    bool forwarded_ = true;
};

} // namespace hl
