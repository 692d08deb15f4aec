#pragma once
// Checks that run in a helper program (tests/helpers/probehelper.cpp) instead of a fork of the test
// process, which runs many threads: without root's power to ignore file permissions, so that tests
// of read-only folders mean the same whether the suite runs as root or as a user, or to be killed at
// any moment.
#include "support/spawnedprocess.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace hl::test {

struct HelperResult {
    int exitCode = -1; // -1: the helper did not end normally within the time limit
    QByteArray output;
};

// Runs the helper with arguments (a command and its arguments); when this process is root, the
// helper first becomes the user "nobody" (uid and gid 65534; exit code 99 when it cannot). Blocks
// until it ends. Folders the helper must reach have to be open to others (mode 0755 or wider).
HelperResult runUnprivileged(const QStringList& arguments);

// Starts the helper with arguments under this process's user, its output going to outputFile; the
// caller ends it.
std::unique_ptr<SpawnedProcess> startHelper(const QStringList& arguments, const QString& outputFile);

} // namespace hl::test
