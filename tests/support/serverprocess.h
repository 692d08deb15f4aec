#pragma once
// Launching Debian's servers for interoperability tests: each runs as a child process on a free
// loopback port and is stopped by pid when the owning object goes away.
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace hl::test {

// A port on 127.0.0.1 that nothing listens on at the moment of the call.
quint16 freeLoopbackPort();

// Whether something accepts connections on 127.0.0.1:port within timeoutMs.
bool waitForPort(quint16 port, int timeoutMs = 10000);

// Whether an executable exists (absolute path, or found on PATH).
bool programExists(const QString& program);

class ChildProcess {
public:
    ChildProcess() = default;
    // Starts program with arguments; standard output and error go to logFile (appended).
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
