#pragma once
// A minimal terminal for checking what harvestline-cli draws: printable characters, carriage
// return, line feed, erase to the end of the line (ESC [ K) and colour codes (ESC [ ... m, which
// it notes and otherwise ignores). A row never wraps, so a line longer than the terminal shows
// whole.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace hl::test {

class TerminalScreen {
public:
    explicit TerminalScreen(const QByteArray& bytes);

    // The rows that a line feed ended, as they show after every redraw.
    const QStringList& lines() const { return lines_; }
    // The row as it stood at each erase to the end of the line with text before the cursor: every
    // draw of a status line redrawn in place.
    const QStringList& frames() const { return frames_; }
    // The row the cursor stands on at the end.
    const QString& lastRow() const { return row_; }
    // Escape sequences other than those above.
    const QStringList& unknownSequences() const { return unknown_; }
    bool sawColour() const { return sawColour_; }

private:
    void write(QChar c);
    qsizetype escape(const QString& text, qsizetype at);

    QStringList lines_;
    QStringList frames_;
    QStringList unknown_;
    QString row_;
    qsizetype column_ = 0;
    bool sawColour_ = false;
};

} // namespace hl::test
