#include "cli/progressdisplay.h"

namespace hl::cli {

namespace {

// A redraw on a terminal costs little; a line in a log file stays for good.
constexpr qint64 kTerminalIntervalMs = 100;
constexpr qint64 kPlainIntervalMs = 1000;

} // namespace

ProgressDisplay::ProgressDisplay(BarStyle style, bool closingLines, qint64 startMs)
    : terminal_(style), progress_(startMs),
      intervalMs_(style == BarStyle::Lines ? kPlainIntervalMs : kTerminalIntervalMs),
      closingLines_(closingLines) {}

void ProgressDisplay::refresh(const RunSnapshot& snapshot, qint64 nowMs) {
    if (!terminal_.enabled()) return;
    // The rate is sampled at every tick, drawn or not.
    const ProgressFigures figures = progress_.update(snapshot, nowMs);
    if (shownOnce_ && nowMs - lastShownMs_ < intervalMs_) return;
    terminal_.show(ProgressLine(figures, terminal_.width()));
    lastShownMs_ = nowMs;
    shownOnce_ = true;
}

void ProgressDisplay::finish(const RunTally& tally, qint64 bytes, const QString& elapsedStatus,
                             qint64 nowMs) {
    if (!closingLines_) return;
    terminal_.finish({SummaryLine(tally, bytes, progress_.elapsedMs(nowMs)), elapsedStatus});
}

} // namespace hl::cli
