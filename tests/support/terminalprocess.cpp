#include "support/terminalprocess.h"

#include "support/cliprocess.h"

#include <QProcessEnvironment>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace hl::test {

namespace {

std::vector<QByteArray> environmentFor(const QStringList& overrides) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TERM"));
    environment.remove(QStringLiteral("NO_COLOR"));
    std::vector<QByteArray> entries;
    for (const QString& entry : environment.toStringList())
        entries.push_back(entry.toLocal8Bit());
    for (const QString& entry : overrides)
        entries.push_back(entry.toLocal8Bit());
    return entries;
}

std::vector<char*> pointers(std::vector<QByteArray>& storage) {
    std::vector<char*> result;
    for (QByteArray& entry : storage)
        result.push_back(entry.data());
    result.push_back(nullptr);
    return result;
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TerminalRun runCliOnTerminal(const QStringList& arguments, const QString& workingDirectory,
                             const TerminalSetup& setup, int timeoutMs) {
    // Everything the child needs is prepared before fork: after it, only system calls.
    std::vector<QByteArray> argumentStorage{cliProgram().toLocal8Bit()};
    for (const QString& argument : arguments)
        argumentStorage.push_back(argument.toLocal8Bit());
    std::vector<QByteArray> environmentStorage = environmentFor(setup.environment);
    const std::vector<char*> argv = pointers(argumentStorage);
    const std::vector<char*> envp = pointers(environmentStorage);
    const QByteArray folder = workingDirectory.toLocal8Bit();

    TerminalRun run;
    winsize size{};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(setup.columns);
    int master = -1, slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, &size) != 0) return run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        ::ioctl(slave, TIOCSCTTY, 0);
        ::dup2(slave, 0);
        ::dup2(slave, 1);
        ::dup2(slave, 2);
        ::close(master);
        ::close(slave);
        if (!folder.isEmpty() && ::chdir(folder.constData()) != 0) ::_exit(126);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(slave);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool timedOut = false;
    bool resized = setup.resizeToColumns == 0;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd descriptor{master, POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        // EIO: every process let go of the terminal.
        if (n <= 0) break;
        run.output.append(buffer, static_cast<int>(n));
        if (!resized && run.output.contains("\x1b[K")) {
            // The terminal signals its foreground process group, as a window resize does.
            size.ws_col = static_cast<unsigned short>(setup.resizeToColumns);
            ::ioctl(master, TIOCSWINSZ, &size);
            resized = true;
        }
    }
    if (timedOut) ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(master);
    if (!timedOut) run.exitCode = exitCodeOf(status);
    return run;
}

} // namespace hl::test
