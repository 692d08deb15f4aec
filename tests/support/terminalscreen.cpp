#include "support/terminalscreen.h"

namespace hl::test {

TerminalScreen::TerminalScreen(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\x1b')) {
            i = escape(text, i);
        } else if (c == QLatin1Char('\r')) {
            column_ = 0;
        } else if (c == QLatin1Char('\n')) {
            lines_ << row_;
            row_.clear();
            column_ = 0;
        } else {
            write(c);
        }
    }
}

void TerminalScreen::write(QChar c) {
    if (column_ < row_.size())
        row_[column_] = c;
    else
        row_ += c;
    ++column_;
}

// Reads the sequence that starts at `at`; returns the index of its last character.
qsizetype TerminalScreen::escape(const QString& text, qsizetype at) {
    qsizetype end = at + 1;
    if (end < text.size() && text.at(end) == QLatin1Char('[')) {
        ++end;
        while (end < text.size() && (text.at(end).isDigit() || text.at(end) == QLatin1Char(';')))
            ++end;
    }
    const QString sequence = text.mid(at, end - at + 1);
    if (sequence == QStringLiteral("\x1b[K")) {
        row_.truncate(column_);
        if (column_ > 0) frames_ << row_;
    } else if (sequence.endsWith(QLatin1Char('m')) && sequence.startsWith(QStringLiteral("\x1b["))) {
        sawColour_ = true;
    } else {
        unknown_ << sequence;
    }
    return end;
}

} // namespace hl::test
