#include "cli/terminalstatus.h"

#include "cli/terminalsize.h"

#include <cstdio>
#include <utility>

namespace hl::cli {

namespace {

// Off a terminal the plain lines keep to the usual width of a log viewer.
constexpr int kPlainColumns = 80;

void writeError(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

TerminalStatus::TerminalStatus(BarStyle style) : style_(style) {
    if (style_ == BarStyle::InPlace) {
        WatchTerminalResizes();
        columns_ = TerminalColumns();
    } else {
        columns_ = kPlainColumns;
    }
}

int TerminalStatus::width() {
    if (style_ == BarStyle::InPlace && TakeTerminalResized()) columns_ = TerminalColumns();
    return columns_ - 1;
}

void TerminalStatus::show(const QString& text) {
    switch (style_) {
    case BarStyle::None:
        return;
    case BarStyle::Lines:
        writeError(text.toUtf8() + '\n');
        return;
    case BarStyle::InPlace:
        shown_ = text.toUtf8();
        writeError("\r" + shown_ + "\x1b[K");
        return;
    }
}

void TerminalStatus::suspend() {
    if (shown_.isEmpty()) return;
    writeError("\r\x1b[K");
    suspended_ = std::exchange(shown_, QByteArray());
}

void TerminalStatus::resume() {
    if (suspended_.isEmpty()) return;
    shown_ = std::exchange(suspended_, QByteArray());
    writeError(shown_ + "\x1b[K");
}

void TerminalStatus::finish(const QStringList& lines) {
    suspend();
    suspended_.clear();
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + '\n';
    writeError(bytes);
}

} // namespace hl::cli
