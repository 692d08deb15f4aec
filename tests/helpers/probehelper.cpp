// The part of a test that must run in a process of its own: as another user than root, or to be
// killed at any moment. The test process runs many threads, and a forked copy of it may not run
// library code before it executes a program; so it starts this one instead.
//
// Usage: probehelper [--unprivileged] COMMAND ARGUMENTS...
//   --unprivileged                  when root, become the user "nobody" first (exit 99 when that fails)
//   can-write FOLDER                exit 0 when CanWriteToFolder says yes, 1 when no
//   probe-forever FOLDER            probe FOLDER until killed; prints "probing" after the first probe
//   settings-folder EXE CONFIG      print ChooseSettingsFolder(EXE, CONFIG) and exit 0
#include "platform/writeprobe.h"
#include "settings/settingsfolder.h"

#include <QString>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kUsageError = 2;
constexpr int kCannotDropRoot = 99;

bool dropRoot() {
    constexpr uid_t kNobody = 65534;
    return ::geteuid() != 0 || (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
}

} // namespace

int main(int argc, char** argv) {
    int next = 1;
    if (next < argc && std::strcmp(argv[next], "--unprivileged") == 0) {
        if (!dropRoot()) return kCannotDropRoot;
        ++next;
    }
    if (next >= argc) return kUsageError;
    const char* command = argv[next];
    const int count = argc - next - 1;
    auto argument = [&](int index) { return QString::fromLocal8Bit(argv[next + 1 + index]); };
    if (std::strcmp(command, "can-write") == 0 && count == 1)
        return hl::CanWriteToFolder(argument(0)) ? 0 : 1;
    if (std::strcmp(command, "probe-forever") == 0 && count == 1) {
        const QString folder = argument(0);
        hl::CanWriteToFolder(folder);
        std::fputs("probing\n", stdout);
        std::fflush(stdout);
        for (;;)
            hl::CanWriteToFolder(folder);
    }
    if (std::strcmp(command, "settings-folder") == 0 && count == 2) {
        std::fputs(hl::ChooseSettingsFolder(argument(0), argument(1)).toLocal8Bit().constData(), stdout);
        return 0;
    }
    return kUsageError;
}
