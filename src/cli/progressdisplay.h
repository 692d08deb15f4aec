#pragma once
// harvestline-cli's progress bar during a run and the summary after it: figures from RunProgress,
// text from ProgressLine, written through TerminalStatus at most 10 times a second on a terminal
// and once a second as plain lines. Not thread-safe: the tool calls it under its window lock.
#include "cli/consoleoutput.h"
#include "cli/progressline.h"
#include "cli/runprogress.h"
#include "cli/terminalstatus.h"

#include <QString>

namespace hl::cli {

class ProgressDisplay {
public:
    // closingLines: whether finish() writes the summary and the elapsed time.
    ProgressDisplay(BarStyle style, bool closingLines, qint64 startMs);

    // Redraws the bar from the run at nowMs, unless it was drawn less than an interval ago.
    void refresh(const RunSnapshot& snapshot, qint64 nowMs);
    // Around a line written to the terminal the bar is on.
    void suspend() { terminal_.suspend(); }
    void resume() { terminal_.resume(); }
    // Replaces the bar by the summary line and elapsedStatus ("Elapsed Time: ... sec").
    void finish(const RunTally& tally, qint64 bytes, const QString& elapsedStatus, qint64 nowMs);

private:
    TerminalStatus terminal_;
    RunProgress progress_;
    const qint64 intervalMs_;
    const bool closingLines_;
    qint64 lastShownMs_ = 0;
    bool shownOnce_ = false;
};

} // namespace hl::cli
