#pragma once
// Runs the built harvestline-cli on a pseudo-terminal, as a user at a terminal would, and collects
// everything it drew there (standard output and standard error both lead to the terminal).
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace hl::test {

struct TerminalRun {
    int exitCode = -1;
    QByteArray output; // the bytes the terminal received, its line discipline's CR LF included
};

struct TerminalSetup {
    int columns = 80;
    // Added to this process's environment less TERM and NO_COLOR ("NAME=value"; give "TERM=..."
    // to have one).
    QStringList environment;
    // When not 0: the terminal is resized to this many columns once the tool has drawn its first
    // status line (its first erase to the end of the line).
    int resizeToColumns = 0;
};

// Runs the tool with arguments in workingDirectory on the terminal of `setup`. Waits at most
// timeoutMs (then kills it; exitCode stays -1).
TerminalRun runCliOnTerminal(const QStringList& arguments, const QString& workingDirectory,
                             const TerminalSetup& setup, int timeoutMs = 30000);

} // namespace hl::test
