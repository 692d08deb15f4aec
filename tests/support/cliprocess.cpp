#include "support/cliprocess.h"

#include <QProcess>

namespace hl::test {

QString cliProgram() {
    return QStringLiteral(HARVESTLINE_BINARY_DIR "/src/harvestline-cli");
}

CliResult runCli(const QStringList& arguments, const QString& workingDirectory, const QByteArray& input,
                 int timeoutMs) {
    QProcess process;
    if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
    process.start(cliProgram(), arguments);
    CliResult result;
    if (!process.waitForStarted(10000)) {
        result.err = process.errorString().toUtf8();
        return result;
    }
    process.write(input);
    process.closeWriteChannel();
    if (process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
    } else {
        process.kill();
        process.waitForFinished();
    }
    result.out = process.readAllStandardOutput();
    result.err += process.readAllStandardError();
    return result;
}

} // namespace hl::test
