#pragma once
// The tests' side of the engine's window contract: actions, synchronized and posted alike, run at
// once under a mutex (as in the command-line tool), every display is recorded, and the list and
// options can be changed during a run from inside Synchronize.
#include "engine/downloadwindow.h"

#include <QStringList>
#include <functional>
#include <mutex>

namespace hl::test {

class RecordingWindow : public DownloadWindow {
public:
    // Set up before the run, or change inside Synchronize during it.
    QStringList lines;
    DownloadOptions options;
    RunSettings runSettings;
    qint64 schedulerPauseMs = 0;
    // The proxy list as the proxy editor holds it (edit it inside Synchronize during a run).
    QStringList proxyLines;
    // Called on the worker, under the window's mutex, whenever a transfer of a sequential run
    // publishes progress.
    std::function<void()> onProgress;

    // Recorded displays, in order.
    QStringList downloadLog;
    QStringList errorLog;
    QStringList errorBoxes;
    QStringList statuses;  // panel 0 texts, scheduler waits included
    QStringList filenames; // DisplayFilename texts
    // The per mille of each progress report of a sequential run (nothing: length unknown).
    QList<std::optional<int>> progress;
    QStringList runErrors;
    QString elapsedStatus;
    int runsStarted = 0;
    int runsCompleted = 0;

    void Synchronize(const std::function<void()>& action) override;
    void Post(std::function<void()> action) override { Synchronize(action); }

    RunSettings CurrentRunSettings() override { return runSettings; }
    DownloadOptions CurrentOptions() override { return options; }
    int LineCount() override { return static_cast<int>(lines.size()); }
    std::optional<QString> Line(int index) override;
    qint64 SchedulerPauseMs() override { return schedulerPauseMs; }
    int ProxyLineCount() override { return static_cast<int>(proxyLines.size()); }
    QString ProxyLine(int index) override { return proxyLines.at(index); }
    // The start button's proxy step: drops blank proxy lines and sets the run's proxy type.
    void prepareProxies(ProxyType type);

    void RunStarted(const RunSettings&) override { ++runsStarted; }
    void ShowStatus(const QString& panel0, const QString&) override { statuses.append(panel0); }
    void ShowSchedulerWait(const QString& status) override { statuses.append(status); }
    void DisplayFilename(const QString& text) override { filenames.append(text); }
    void AddDownloadLog(const QString& line) override { downloadLog.append(line); }
    void AddErrorLog(const QString& line) override { errorLog.append(line); }
    void ShowErrorBox(const QString& text) override { errorBoxes.append(text); }
    void ShowRunError(const QString& message) override { runErrors.append(message); }
    void RunCompleted(const QString& status) override;
    void ProgressPublished(const TransferProgress& progress) override;

private:
    std::mutex mutex_;
};

} // namespace hl::test
