// harvestline-cli: the download engine for scripts, servers and cron.
#include "cli/cliwindow.h"
#include "cli/commandline.h"
#include "cli/grabcommand.h"
#include "cli/interrupts.h"
#include "cli/listfile.h"
#include "engine/downloader.h"
#include "engine/runstart.h"

#include <QCoreApplication>
#include <QFile>
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
    if (const auto refusal = hl::PrepareSaveFolder(options.saveFolder)) {
        printError(*refusal);
        return kExitUsage;
    }
    const auto logFile = openAppending(commandLine.logFile);
    const auto errorLogFile = openAppending(commandLine.errorLogFile);

    hl::cli::CliWindow window(lines, options, commandLine.run, proxyLines, logFile.get(), errorLogFile.get());
    hl::RunState state;
    hl::cli::InstallInterruptHandler();
    {
        hl::RunThread runThread(window, state, hl::EngineEnvironment());
        while (!window.WaitCompleted(100)) {
            if (hl::cli::InterruptRequested() && !state.StopRequested.requested())
                state.StopRequested.request();
            window.RefreshStatus(state);
        }
    }
    const bool everyUrlDone = state.Counters.CountFinished.load() == state.Counters.CountTotal.load();
    return !window.ErrorsReported() && everyUrlDone ? kExitDone : kExitErrors;
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
        if (!commandLine.grabUrl.isEmpty()) return hl::cli::RunGrab(commandLine);
        return run(commandLine);
    } catch (const hl::cli::UsageError& error) {
        printError(QStringLiteral("harvestline-cli: ") + error.message());
        printError(QStringLiteral("Try 'harvestline-cli --help' for more information."));
        return kExitUsage;
    }
}
