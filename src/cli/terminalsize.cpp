#include "cli/terminalsize.h"

#include <atomic>
#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace hl::cli {

namespace {

constexpr int kDefaultColumns = 80;

std::atomic<bool> resized{false};

void onResize(int) {
    resized = true;
}

} // namespace

void WatchTerminalResizes() {
    struct sigaction action {};
    action.sa_handler = onResize;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGWINCH, &action, nullptr);
}

bool TakeTerminalResized() {
    return resized.exchange(false);
}

int TerminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return kDefaultColumns;
}

} // namespace hl::cli
