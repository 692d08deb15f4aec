#pragma once
// Runs the built harvestline-cli as a child process and collects what it wrote.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace hl::test {

struct CliResult {
    int exitCode = -1;
    QByteArray out; // standard output
    QByteArray err; // standard error
};

// The path of the built tool.
QString cliProgram();

// Runs the tool with arguments in workingDirectory (empty: the current one), feeding input to its
// standard input; waits at most timeoutMs for it to end (then kills it; exitCode stays -1).
CliResult runCli(const QStringList& arguments, const QString& workingDirectory = {},
                 const QByteArray& input = {}, int timeoutMs = 30000);

} // namespace hl::test
