#pragma once
// The status line that harvestline-cli keeps redrawn in place on standard error when that is a
// terminal. Everything else written to the terminal first clears it. Not thread-safe: the tool
// calls it under its window lock.
#include <QString>

namespace hl::cli {

class TerminalStatus {
public:
    // Enabled only when standard error is a terminal.
    TerminalStatus();
    bool enabled() const { return enabled_; }
    // Replaces the line (cut to the terminal's width).
    void show(const QString& text);
    // Removes the line, so that a log line can be written.
    void clear();
    // Ends the status display with a last line that stays.
    void finish(const QString& text);

private:
    bool enabled_ = false;
    bool shown_ = false;
};

} // namespace hl::cli
