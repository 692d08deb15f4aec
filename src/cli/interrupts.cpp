#include "cli/interrupts.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>
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

bool SleepUnlessInterrupted(qint64 ms) {
    using namespace std::chrono;
    // The handler may only set a flag, so the sleep looks at it in short slices.
    constexpr qint64 kSliceMs = 50;
    const steady_clock::time_point start = steady_clock::now();
    while (!InterruptRequested()) {
        const qint64 left = ms - duration_cast<milliseconds>(steady_clock::now() - start).count();
        if (left <= 0) return true;
        std::this_thread::sleep_for(milliseconds(std::min(left, kSliceMs)));
    }
    return false;
}

} // namespace hl::cli
