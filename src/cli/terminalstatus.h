#pragma once
// The status line that harvestline-cli keeps on standard error: redrawn in place on a terminal,
// or written as a plain line per update for a log. Whatever else goes to the same terminal is
// written between suspend() and resume(), so that it lands above the line without tearing it.
// Not thread-safe: the tool calls it under its window lock.
#include "cli/consoleoutput.h"

#include <QString>
#include <QStringList>

namespace hl::cli {

class TerminalStatus {
public:
    explicit TerminalStatus(BarStyle style);

    bool enabled() const { return style_ != BarStyle::None; }
    // The characters a line may take: one column less than the terminal has, so that the cursor
    // never wraps. Re-read when the terminal was resized.
    int width();
    // Replaces the line (InPlace) or writes it as a line of its own (Lines); text must fit width().
    void show(const QString& text);
    // Takes the line away before another write to the terminal, and puts it back after it.
    void suspend();
    void resume();
    // Takes the line away for good and writes these lines in its place.
    void finish(const QStringList& lines);

private:
    const BarStyle style_;
    int columns_ = 0;
    QByteArray shown_; // the line on the terminal now (InPlace)
    QByteArray suspended_;
};

} // namespace hl::cli
