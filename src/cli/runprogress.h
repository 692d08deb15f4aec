#pragma once
// The figures of harvestline-cli's progress bar: how far a run is, how fast bytes arrive and when it
// will end, computed from snapshots of the run taken at the tool's status ticks. Pure: the caller
// passes the times, so tests need not sleep.
#include <QtGlobal>
#include <deque>
#include <optional>
#include <vector>

namespace hl::cli {

// A transfer under way: its bytes so far and the body length it announced (nothing: unknown).
struct TransferProgress {
    qint64 bytes = 0;
    std::optional<qint64> length;
};

// The run at one moment.
struct RunSnapshot {
    qint64 total = 0;         // lines of the run
    qint64 ended = 0;         // lines downloaded, skipped or failed
    qint64 errors = 0;        // Error Log lines
    qint64 bytesReceived = 0; // body bytes of every transfer so far
    std::vector<TransferProgress> transfers;
};

struct ProgressFigures {
    qint64 done = 0;     // lines ended
    qint64 total = 0;    // lines of the run
    double fraction = 0; // share of the run done, counting the announced share of transfers under way
    qint64 errors = 0;
    double bytesPerSecond = 0; // over the last RateWindowMs
    qint64 bytes = 0;
    std::optional<qint64> etaSeconds; // nothing: not known yet
};

class RunProgress {
public:
    // The span over which the transfer rate is averaged.
    static constexpr qint64 RateWindowMs = 5000;

    explicit RunProgress(qint64 startMs);

    // Records the snapshot taken at nowMs (times never go back) and returns what the bar shows.
    // The time left comes from bytes when every line still to do is a transfer under way with a
    // known length, else from the run's rate of lines so far.
    ProgressFigures update(const RunSnapshot& snapshot, qint64 nowMs);

    qint64 elapsedMs(qint64 nowMs) const { return nowMs - startMs_; }

private:
    double bytesPerSecond(qint64 bytes, qint64 nowMs);

    const qint64 startMs_;
    struct Sample {
        qint64 ms;
        qint64 bytes;
    };
    // The samples of the rate window, and the last one before it as the rate's base.
    std::deque<Sample> samples_;
};

} // namespace hl::cli
