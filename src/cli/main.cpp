// harvestline-cli: the download engine for scripts, servers and cron.
#include "cli/cliwindow.h"
#include "cli/commandline.h"
#include "cli/grabcommand.h"
#include "cli/interrupts.h"
#include "cli/listfile.h"
#include "cli/versiontext.h"
#include "engine/downloader.h"
#include "engine/runstart.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitErrors = 1;
constexpr int kExitUsage = 2;

void printError(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

std::unique_ptr<QFile> openAppending(const QString& path) {
    if (path.isEmpty()) return nullptr;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append))
        throw hl::cli::UsageError(
            QStringLiteral("cannot open the log file \"%1\": %2").arg(path, file->errorString()));
    return file;
}

// The files and options that every run of one invocation shares.
struct RunInputs {
    QStringList lines;
    QStringList proxyLines;
    hl::DownloadOptions options;
    QFile* logFile = nullptr;
    QFile* errorLogFile = nullptr;
    hl::cli::ConsoleOutput output;
};

bool saveFolderReady(hl::DownloadOptions& options) {
    const auto refusal = hl::PrepareSaveFolder(options.saveFolder);
    if (refusal) printError(*refusal);
    return !refusal;
}

// One run over the list; returns the exit status it earned.
int runOnce(const hl::cli::CommandLine& commandLine, const RunInputs& inputs) {
    hl::cli::CliWindow window(inputs.lines, inputs.options, commandLine.run, inputs.proxyLines,
                              inputs.logFile, inputs.errorLogFile, inputs.output);
    window.SetPauseBetweenUrls(qint64{commandLine.waitSeconds} * 1000);
    hl::RunState state;
    {
        hl::RunThread runThread(window, state, hl::EngineEnvironment());
        while (!window.WaitCompleted(100)) {
            if (hl::cli::InterruptRequested() && !state.StopRequested.requested())
                state.StopRequested.request();
            window.RefreshStatus(state);
        }
    }
    window.Finish(state);
    const bool everyUrlDone = state.Counters.CountFinished.load() == state.Counters.CountTotal.load();
    return !window.ErrorsReported() && everyUrlDone ? kExitDone : kExitErrors;
}

int run(const hl::cli::CommandLine& commandLine) {
    QStringList lines;
    if (!commandLine.inputFile.isEmpty())
        lines = hl::cli::ReadListFile(commandLine.inputFile, QStringLiteral("URL list"));
    QStringList proxyLines;
    if (!commandLine.proxyListFile.isEmpty())
        proxyLines = hl::cli::ReadListFile(commandLine.proxyListFile, QStringLiteral("proxy list"));
    lines = hl::RemoveBlankLines(lines + commandLine.urls);
    if (lines.isEmpty()) {
        printError(hl::EmptyListMessage());
        return kExitUsage;
    }
    hl::DownloadOptions options = commandLine.options;
    if (!saveFolderReady(options)) return kExitUsage;
    const auto logFile = openAppending(commandLine.logFile);
    const auto errorLogFile = openAppending(commandLine.errorLogFile);

    RunInputs inputs{
        lines,
        proxyLines,
        options,
        logFile.get(),
        errorLogFile.get(),
        hl::cli::ChooseConsoleOutput(commandLine.quiet, commandLine.progress, hl::cli::ReadStreamFacts())};
    hl::cli::InstallInterruptHandler();
    int status = runOnce(commandLine, inputs);
    // Each further run checks its folder again, as a press of DOWNLOAD ALL does: a folder that
    // went away is reported, and the next run tries again.
    while (commandLine.everySeconds > 0 &&
           hl::cli::SleepUnlessInterrupted(qint64{commandLine.everySeconds} * 1000))
        status =
            std::max(status, saveFolderReady(inputs.options) ? runOnce(commandLine, inputs) : kExitUsage);
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    try {
        const hl::cli::CommandLine commandLine =
            hl::cli::ParseCommandLine(application.arguments().mid(1), hl::cli::DefaultCommandLine());
        if (commandLine.help) {
            std::fputs(hl::cli::HelpText().toUtf8().constData(), stdout);
            return kExitDone;
        }
        if (commandLine.version) {
            std::fputs(hl::cli::VersionText().toUtf8().constData(), stdout);
            return kExitDone;
        }
        if (!commandLine.grabUrl.isEmpty()) return hl::cli::RunGrab(commandLine);
        return run(commandLine);
    } catch (const hl::cli::UsageError& error) {
        printError(QStringLiteral("harvestline-cli: ") + error.message());
        printError(QStringLiteral("Try 'harvestline-cli --help' for more information."));
        return kExitUsage;
    }
}
