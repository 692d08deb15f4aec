#pragma once
// The contract between the engine and "the window": everything the engine reads from or shows to
// its front end goes through this interface, so the window program, harvestline-cli and the tests
// drive the same engine.
//
// Threading: the engine calls Synchronize and Post from its run and worker threads. Both run their
// action on the front end's own thread (the GUI thread for the window), one action at a time and in
// the order they were asked for; Synchronize waits for its action, Post does not. A worker waits
// only where it needs the answer (the options, a list line, a proxy line, the scheduler's pause),
// where the design makes it wait (its error box), and for the run's completion; every display is
// posted. Every other member is called by the engine only from inside such an action, so an
// implementation may touch its widgets there and needs no lock of its own. Progress and speed are
// not actions at all: workers publish them into the run state's transfer slots (RunState::Slots),
// which the front end reads on its own timers. Actions are short; only ShowErrorBox may wait for
// the user, and only the worker that raised the error waits for it.
#include "engine/downloadoptions.h"

#include <QString>
#include <functional>
#include <optional>

namespace hl {

// A transfer's progress as its worker published it.
struct TransferProgress {
    qint64 slot = -1;
    qint64 bytes = 0;             // body bytes of the current transfer (attempt) so far
    std::optional<qint64> length; // the body length it announced; nothing: unknown
};

class DownloadWindow {
public:
    virtual ~DownloadWindow() = default;

    // Runs action on the front end's thread and waits for it. Exceptions of the action propagate
    // to the caller.
    virtual void Synchronize(const std::function<void()>& action) = 0;
    // Runs action on the front end's thread later, after every action asked for before it, and
    // returns at once. The action owns what it uses (capture by value).
    virtual void Post(std::function<void()> action) = 0;

    // Reads, at the moment of the call.
    virtual RunSettings CurrentRunSettings() = 0;
    virtual DownloadOptions CurrentOptions() = 0;
    virtual int LineCount() = 0;
    // The URL list's line at index, or nothing when the list has no such line (any more).
    virtual std::optional<QString> Line(int index) = 0;
    // The proxy list as it stands: its blank lines are dropped when a run starts (the window from
    // its proxy editor), and the engine reads a line by index whenever a URL takes one, so edits
    // during a run count. index is below ProxyLineCount().
    virtual int ProxyLineCount() = 0;
    virtual QString ProxyLine(int index) = 0;
    // The pause due before the next URL of a sequential run (the scheduler's "delay for each URL"),
    // in ms; 0 for none.
    virtual qint64 SchedulerPauseMs() = 0;

    // Displays. The engine calls the per-URL displays (status, file name) only in sequential runs.
    virtual void RunStarted(const RunSettings& settings) = 0;
    virtual void ShowStatus(const QString& panel0, const QString& panel1) = 0;
    virtual void ShowSchedulerWait(const QString& status) = 0;
    virtual void DisplayFilename(const QString& text) = 0;
    virtual void AddDownloadLog(const QString& line) = 0;
    virtual void AddErrorLog(const QString& line) = 0;
    // An error message box ("ERROR"). The calling worker waits until the box is closed (the window
    // lets it wait after the action has returned, so other workers' actions go on meanwhile).
    virtual void ShowErrorBox(const QString& text) = 0;
    // An error that ended the run itself (not one URL's); RunCompleted follows.
    virtual void ShowRunError(const QString& message) = 0;
    // The run is over; elapsedStatus is "Elapsed Time: ... sec".
    virtual void RunCompleted(const QString& elapsedStatus) = 0;

    // A transfer published new progress. Called on the worker's thread, outside any action, for
    // every block received: it must return at once and never wait for the front end's thread. The
    // window and harvestline-cli read the slots on their timers instead and leave it empty; the
    // tests watch a transfer through it.
    virtual void ProgressPublished(const TransferProgress&) {}
};

} // namespace hl
