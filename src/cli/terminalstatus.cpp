#include "cli/terminalstatus.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace hl::cli {

namespace {

int terminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

void writeError(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

TerminalStatus::TerminalStatus() : enabled_(::isatty(STDERR_FILENO) == 1) {}

void TerminalStatus::show(const QString& text) {
    if (!enabled_) return;
    // One column is left free so that the cursor never wraps to a new line.
    writeError("\r" + text.left(terminalColumns() - 1).toUtf8() + "\x1b[K");
    shown_ = true;
}

void TerminalStatus::clear() {
    if (!enabled_ || !shown_) return;
    writeError("\r\x1b[K");
    shown_ = false;
}

void TerminalStatus::finish(const QString& text) {
    if (!enabled_) return;
    clear();
    writeError(text.toUtf8() + "\n");
}

} // namespace hl::cli
