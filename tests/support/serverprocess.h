#pragma once
// Launching Debian's servers for interoperability tests: each runs as a child process on a free
// loopback port and is stopped by pid when the owning object goes away.
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace hl::test {

// Whether the process pid itself holds a socket listening on port (either address family): the
// server that the test started, not another one that took the port in the meantime.
bool processListensOn(pid_t pid, quint16 port);

// Whether an executable exists (absolute path, or found on PATH).
bool programExists(const QString& program);

class ChildProcess {
public:
    ChildProcess() = default;
    // Starts program with arguments in a process group of its own; standard output and error go
    // to logFile (appended). Started with posix_spawn: the test process, which runs many threads,
    // is never forked without an exec.
    ChildProcess(const QString& program, const QStringList& arguments, const QString& logFile);
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running() const;
    // SIGTERM, then SIGKILL after a grace period; waits for the process.
    void stop();

private:
    pid_t pid_ = -1;
};

} // namespace hl::test
