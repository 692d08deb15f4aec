#pragma once
#include "engine/engineenvironment.h"
#include "engine/runstate.h"

#include <QObject>
#include <QTimer>
#include <memory>

namespace hl {

class RunThread;
class TAppForm;
class WindowBridge;

// "DOWNLOAD ALL" / "STOP": the checks before a run, the run thread, the button's states, the
// completion, and the two display timers: TimerSpeed (every 100 ms for the window's whole life)
// and TimerMultiThreadStatus (every 100 ms during parallel runs). Owns the run state, which
// outlives every run. GUI thread only.
class RunController : public QObject {
    Q_OBJECT
public:
    RunController(TAppForm* form, EngineEnvironment environment, QObject* parent);
    ~RunController() override;

    // Stops a run that is still going and waits for its end, answering its workers' calls
    // meanwhile. For the window's end: call it while the widgets still exist.
    void shutDown();

    // BitBtn1Click: starts a run when idle, otherwise asks the run to stop.
    void runButtonClicked();
    // Whether a run exists (from its start until its completion has been shown).
    bool running() const { return runThread_ != nullptr; }
    // No run exists and the start button reads "DOWNLOAD ALL".
    bool idle() const;
    // Raises StopRequested without touching the button (the scheduler's "Cancel"/"STOP"): a run
    // going on stops at its next check; the next run clears the flag when it starts.
    void requestStop() { state_.StopRequested.request(); }
    const RunState& state() const { return state_; }

signals:
    // GUI thread; after the window is back in its idle state.
    void runFinished();

private:
    void startRun();
    void stopRun();
    // The checks before a run: false (after telling the user why) when the run must not start.
    bool prepareRun();
    void runStarted(bool multiThreaded);
    void runCompleted(const QString& elapsedStatus);
    void showSpeed();
    void showMultiThreadStatus();

    TAppForm* form_;
    const EngineEnvironment environment_;
    RunState state_;
    WindowBridge* bridge_;
    std::unique_ptr<RunThread> runThread_;
    bool cursorShown_ = false;
    QTimer speedTimer_;
    QTimer multiThreadStatusTimer_;
};

} // namespace hl
