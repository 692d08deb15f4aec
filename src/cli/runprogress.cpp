#include "cli/runprogress.h"

#include <algorithm>
#include <cmath>

namespace hl::cli {

namespace {

// The lines still to do, when each of them is a transfer under way that announced its length: the
// bytes they still expect. Otherwise nothing.
std::optional<qint64> knownBytesLeft(const RunSnapshot& snapshot) {
    const qint64 linesLeft = snapshot.total - snapshot.ended;
    if (linesLeft != static_cast<qint64>(snapshot.transfers.size())) return std::nullopt;
    qint64 left = 0;
    for (const TransferProgress& transfer : snapshot.transfers) {
        if (!transfer.length) return std::nullopt;
        left += std::max<qint64>(*transfer.length - transfer.bytes, 0);
    }
    return left;
}

double fractionDone(const RunSnapshot& snapshot) {
    if (snapshot.total <= 0) return 0;
    double lines = static_cast<double>(snapshot.ended);
    for (const TransferProgress& transfer : snapshot.transfers)
        if (transfer.length)
            lines += std::clamp(static_cast<double>(transfer.bytes) / static_cast<double>(*transfer.length),
                                0.0, 1.0);
    return std::clamp(lines / static_cast<double>(snapshot.total), 0.0, 1.0);
}

} // namespace

RunProgress::RunProgress(qint64 startMs) : startMs_(startMs) {
    samples_.push_back({startMs, 0});
}

double RunProgress::bytesPerSecond(qint64 bytes, qint64 nowMs) {
    samples_.push_back({nowMs, bytes});
    while (samples_.size() > 2 && samples_[1].ms <= nowMs - RateWindowMs)
        samples_.pop_front();
    const Sample& base = samples_.front();
    if (nowMs <= base.ms) return 0;
    return static_cast<double>(bytes - base.bytes) * 1000 / static_cast<double>(nowMs - base.ms);
}

ProgressFigures RunProgress::update(const RunSnapshot& snapshot, qint64 nowMs) {
    ProgressFigures figures;
    figures.done = snapshot.ended;
    figures.total = snapshot.total;
    figures.fraction = fractionDone(snapshot);
    figures.errors = snapshot.errors;
    figures.bytes = snapshot.bytesReceived;
    figures.bytesPerSecond = bytesPerSecond(snapshot.bytesReceived, nowMs);

    const qint64 linesLeft = snapshot.total - snapshot.ended;
    const std::optional<qint64> bytesLeft = knownBytesLeft(snapshot);
    if (linesLeft <= 0)
        figures.etaSeconds = 0;
    else if (bytesLeft && figures.bytesPerSecond > 0)
        figures.etaSeconds =
            static_cast<qint64>(std::ceil(static_cast<double>(*bytesLeft) / figures.bytesPerSecond));
    else if (snapshot.ended > 0)
        figures.etaSeconds = static_cast<qint64>(
            std::ceil(static_cast<double>(elapsedMs(nowMs)) / 1000 * static_cast<double>(linesLeft) /
                      static_cast<double>(snapshot.ended)));
    return figures;
}

} // namespace hl::cli
