#pragma once
// A child process whose end the test decides: started with its standard streams on files, waited
// for with a time limit, or killed with SIGKILL at a moment of the test's choosing.
// Its outcome carries the peak resident memory the kernel recorded for it.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace hl::test {

// A program and its arguments as execv() takes them, prepared before a fork: the child of a
// process with threads may only make system calls until it executes the program.
class ExecArguments {
public:
    ExecArguments(const QString& program, const QStringList& arguments);
    char* const* argv() { return pointers_.data(); }

private:
    std::vector<QByteArray> storage_;
    std::vector<char*> pointers_;
};

struct ProcessOutcome {
    bool exited = false; // ended through exit(), not by a signal
    int exitCode = -1;
    int signal = 0; // the signal that ended it, or 0
    long peakRssKb = 0;
};

class SpawnedProcess {
public:
    // Standard input comes from inputFile (/dev/null when empty); standard output and error are
    // written to outputFile and errorFile, emptied first.
    SpawnedProcess(const QString& program, const QStringList& arguments, const QString& outputFile,
                   const QString& errorFile, const QString& inputFile = {});
    // Kills and reaps a process that is still running.
    ~SpawnedProcess();
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    // The outcome once the process has ended within timeoutMs (at once when it has already);
    // nullopt while it still runs.
    std::optional<ProcessOutcome> waitFor(int timeoutMs);
    // SIGKILL now, then the outcome. Whether the process was still running when the signal went
    // out is in the outcome: a process that had ended by itself shows its own ending.
    ProcessOutcome kill();

private:
    ProcessOutcome reap();

    pid_t pid_ = -1;
    int pidfd_ = -1;
    std::optional<ProcessOutcome> outcome_;
};

} // namespace hl::test
