#pragma once
// The texts of harvestline-cli's progress bar and of the summary that replaces it at the end.
#include "cli/runprogress.h"

#include <QString>

namespace hl::cli {

// A byte count in decimal units with three significant digits: "512 B", "1.23 kB", "45.6 MB",
// "789 GB".
QString ByteCountText(qint64 bytes);
// A rate in the same units per second: "12.3 MB/s".
QString ByteRateText(double bytesPerSecond);
// "m:ss", or "h:mm:ss" from an hour on.
QString DurationText(qint64 seconds);

// The bar line, e.g. "[ 1234/3000  41% |#######.........|  3 err  12.3 MB/s  512 MB  ETA 0:42 ]",
// in at most width characters (all ASCII): the bar takes the room the other fields leave, and on a
// narrow terminal the line drops, in turn, the bar, the bytes, the brackets, the double spaces, a
// zero error count, the rate, the time left and the error count; the line count is cut last.
QString ProgressLine(const ProgressFigures& figures, int width);

struct RunTally {
    qint64 downloaded = 0; // "(DOWNLOADED)" lines
    qint64 skipped = 0;    // "(SKIPPED)" lines
    qint64 errors = 0;     // Error Log lines
};

// "2 downloaded, 1 skipped, 3 errors, 1.52 GB in 2:03 (12.4 MB/s)".
QString SummaryLine(const RunTally& tally, qint64 bytes, qint64 elapsedMs);

} // namespace hl::cli
