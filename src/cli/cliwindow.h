#pragma once
// harvestline-cli's side of the engine's window contract: the list and options are fixed when the
// run starts, window actions run under one mutex, log lines go to standard output / standard error
// (and the optional log files), and the progress bar to the terminal.
#include "cli/consoleoutput.h"
#include "cli/progressdisplay.h"
#include "engine/downloadwindow.h"
#include "engine/proxyrotation.h"
#include "engine/runstate.h"

#include <QFile>
#include <QStringList>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace hl::cli {

class CliWindow final : public DownloadWindow {
public:
    // proxyLines: the proxy list; its blank lines are dropped and the turn starts at its first
    // line, as a run's start does. logFile / errorLogFile: open files that also receive the lines,
    // or nullptr. output: what goes to standard output and standard error.
    CliWindow(QStringList lines, DownloadOptions options, RunSettings settings, QStringList proxyLines,
              QFile* logFile, QFile* errorLogFile, ConsoleOutput output);

    void Synchronize(const std::function<void()>& action) override;

    RunSettings CurrentRunSettings() override { return settings_; }
    DownloadOptions CurrentOptions() override { return options_; }
    int LineCount() override { return static_cast<int>(lines_.size()); }
    std::optional<QString> Line(int index) override;
    qint64 SchedulerPauseMs() override { return pauseBetweenUrlsMs_; }
    ProxyLineFields TakeNextProxyLine() override { return proxyRotation_.takeNext(proxyLines_); }

    void RunStarted(const RunSettings&) override {}
    // The bar reads the run's counters and transfer slots instead of the window's displays.
    void ShowStatus(const QString&, const QString&) override {}
    void ShowSchedulerWait(const QString&) override {}
    void DisplayFilename(const QString&) override {}
    void ShowProgress(std::optional<int>) override {}
    void AddDownloadLog(const QString& line) override;
    void AddErrorLog(const QString& line) override;
    // The Error Log line on standard error already says everything a box would.
    void ShowErrorBox(const QString&) override {}
    void ShowRunError(const QString& message) override;
    void RunCompleted(const QString& elapsedStatus) override;

    // The pause a sequential run makes between two URLs (--wait); 0 (the default): none.
    void SetPauseBetweenUrls(qint64 ms) { pauseBetweenUrlsMs_ = ms; }

    // Waits up to ms for the run's completion; true once it has completed.
    bool WaitCompleted(int ms);
    // Redraws the progress bar from the run's state.
    void RefreshStatus(const RunState& state);
    // After the run: replaces the bar by the summary and the elapsed time.
    void Finish(const RunState& state);
    // Whether any Error Log line was written or an error ended the run.
    bool ErrorsReported() const { return errorsReported_; }

private:
    void writeLine(FILE* stream, QFile* copy, const QString& line, bool onTerminal, Paint paint);
    RunSnapshot snapshot(const RunState& state) const;
    Paint errorPaint() const { return output_.colourErrors ? Paint::Red : Paint::Plain; }

    const QStringList lines_;
    const DownloadOptions options_;
    RunSettings settings_;
    QStringList proxyLines_;
    ProxyRotation proxyRotation_;
    QFile* const logFile_;
    QFile* const errorLogFile_;
    const ConsoleOutput output_;
    ProgressDisplay display_;
    RunTally tally_;
    qint64 pauseBetweenUrlsMs_ = 0;

    std::mutex mutex_;
    std::condition_variable completedChanged_;
    bool completed_ = false;
    QString elapsedStatus_;
    bool errorsReported_ = false;
};

} // namespace hl::cli
