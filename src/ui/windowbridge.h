#pragma once
#include "engine/downloadwindow.h"
#include "engine/proxyrotation.h"
#include "engine/runstate.h"

#include <QObject>
#include <memory>

namespace hl {

class BoxRelease;
class ErrorBoxQueue;
class TAppForm;

// The window's side of the engine's contract. Synchronize runs a worker's action on the GUI thread
// with a blocking queued call (the worker waits; a call made on the GUI thread runs at once), so
// every other member runs on the GUI thread and may read and change the widgets: the option
// snapshot and the list lines come from the controls as they are at that moment, the displays go
// to the status bar, the progress strip and the logs. The run's shared state (slots, proxy
// rotation) is touched only here.
//
// Error boxes go through an ErrorBoxQueue: one at a time, in the order they were asked for, never
// nested. The failing worker waits for its box after its action has returned, off the GUI thread,
// so the other workers' actions go on meanwhile; once a stop is requested the boxes still waiting
// are dropped and their workers go on at once.
class WindowBridge : public QObject, public DownloadWindow {
    Q_OBJECT
public:
    // form and state outlive the bridge.
    WindowBridge(TAppForm* form, RunState& state, QObject* parent);

    // Run start (GUI thread): the rotation over the proxy list as it stands, blank lines removed.
    void prepareProxyRotation();
    // A stop was requested (GUI thread): drops the error boxes that wait and lets their workers go on.
    void dropErrorBoxes();

    void Synchronize(const std::function<void()>& action) override;

    RunSettings CurrentRunSettings() override;
    DownloadOptions CurrentOptions() override;
    int LineCount() override;
    std::optional<QString> Line(int index) override;
    qint64 SchedulerPauseMs() override;
    ProxyLineFields TakeNextProxyLine() override;

    void RunStarted(const RunSettings& settings) override;
    void ShowStatus(const QString& panel0, const QString& panel1) override;
    void ShowSchedulerWait(const QString& status) override;
    void DisplayFilename(const QString& text) override;
    void ShowProgress(std::optional<int> perMille) override;
    void AddDownloadLog(const QString& line) override;
    void AddErrorLog(const QString& line) override;
    void ShowErrorBox(const QString& text) override;
    void ShowRunError(const QString& message) override;
    void RunCompleted(const QString& elapsedStatus) override;

signals:
    // GUI thread, from inside the run's actions.
    void runStarted(bool multiThreaded);
    void runCompleted(const QString& elapsedStatus);

private:
    // The per-URL displays follow the "Multi-Threading" item as it is at each update.
    bool multiThreaded() const;

    TAppForm* form_;
    RunState& state_;
    ProxyRotation rotation_;
    ErrorBoxQueue* errorBoxes_;
    // While a worker's action runs: where ShowErrorBox leaves the release that worker waits for.
    std::shared_ptr<BoxRelease>* boxOfRunningAction_ = nullptr;
};

} // namespace hl
