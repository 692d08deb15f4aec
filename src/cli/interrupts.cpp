#include "cli/interrupts.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace hl::cli {

namespace {

std::atomic<int> interrupts{0};

void onInterrupt(int) {
    if (interrupts.fetch_add(1) >= 1) {
        static const char message[] = "\naborted\n";
        (void)!::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(130);
    }
}

} // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
}

bool InterruptRequested() {
    return interrupts.load() > 0;
}

} // namespace hl::cli
