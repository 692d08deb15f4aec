#include "support/spawnedprocess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace hl::test {

namespace {

void redirect(const QByteArray& path, int flags, int target) {
    const int fd = ::open(path.constData(), flags | O_CLOEXEC, 0644);
    if (fd >= 0) ::dup2(fd, target);
}

} // namespace

ExecArguments::ExecArguments(const QString& program, const QStringList& arguments) {
    storage_.push_back(program.toLocal8Bit());
    for (const QString& argument : arguments)
        storage_.push_back(argument.toLocal8Bit());
    for (QByteArray& s : storage_)
        pointers_.push_back(s.data());
    pointers_.push_back(nullptr);
}

SpawnedProcess::SpawnedProcess(const QString& program, const QStringList& arguments,
                               const QString& outputFile, const QString& errorFile,
                               const QString& inputFile) {
    ExecArguments command(program, arguments);
    const QByteArray input = inputFile.isEmpty() ? QByteArray("/dev/null") : inputFile.toLocal8Bit();
    const QByteArray output = outputFile.toLocal8Bit();
    const QByteArray error = errorFile.toLocal8Bit();

    pid_ = ::fork();
    if (pid_ == 0) {
        redirect(input, O_RDONLY, 0);
        redirect(output, O_WRONLY | O_CREAT | O_TRUNC, 1);
        redirect(error, O_WRONLY | O_CREAT | O_TRUNC, 2);
        ::execv(command.argv()[0], command.argv());
        ::_exit(127);
    }
    if (pid_ > 0) pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
}

SpawnedProcess::~SpawnedProcess() {
    if (pid_ > 0) kill();
    if (pidfd_ >= 0) ::close(pidfd_);
}

std::optional<ProcessOutcome> SpawnedProcess::waitFor(int timeoutMs) {
    if (outcome_ || pid_ <= 0) return outcome_;
    if (pidfd_ >= 0) {
        pollfd p{pidfd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return std::nullopt;
        return reap();
    }
    // Without a process descriptor (an old kernel), the end is looked for every few milliseconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid_)
            return reap();
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

ProcessOutcome SpawnedProcess::kill() {
    if (outcome_ || pid_ <= 0) return outcome_.value_or(ProcessOutcome{});
    ::kill(pid_, SIGKILL);
    return reap();
}

ProcessOutcome SpawnedProcess::reap() {
    int status = 0;
    rusage usage{};
    while (::wait4(pid_, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    ProcessOutcome outcome;
    outcome.exited = WIFEXITED(status);
    outcome.exitCode = outcome.exited ? WEXITSTATUS(status) : -1;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    outcome.peakRssKb = usage.ru_maxrss;
    outcome_ = outcome;
    pid_ = -1;
    return outcome;
}

} // namespace hl::test
