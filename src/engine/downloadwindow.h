#pragma once
// The contract between the engine and "the window": everything the engine reads from or shows to
// its front end goes through this interface, so the window program, harvestline-cli and the tests
// drive the same engine.
//
// Threading: workers call Synchronize, which runs the action on the front end's own thread (the
// GUI thread for the window, with a blocking queued call; a call made on that thread runs at once)
// one action at a time, and returns when it has run. Every other member is called by the engine
// only from inside such an action, so an implementation may touch its widgets there, and the
// engine's shared run state (transfer slots, proxy rotation, file-name reservation) needs no lock
// of its own. Actions are short; only ShowErrorBox may wait for the user, and only the worker
// that raised the error waits for it.
#include "engine/downloadoptions.h"

#include <QString>
#include <functional>
#include <optional>

namespace hl {

class DownloadWindow {
public:
    virtual ~DownloadWindow() = default;

    // Runs action on the front end's thread, one at a time, and waits for it. Exceptions of the
    // action propagate to the caller.
    virtual void Synchronize(const std::function<void()>& action) = 0;

    // Reads, at the moment of the call.
    virtual RunSettings CurrentRunSettings() = 0;
    virtual DownloadOptions CurrentOptions() = 0;
    virtual int LineCount() = 0;
    // The URL list's line at index, or nothing when the list has no such line (any more).
    virtual std::optional<QString> Line(int index) = 0;
    // The pause due before the next URL of a sequential run (the scheduler's "delay for each URL"),
    // in ms; 0 for none.
    virtual qint64 SchedulerPauseMs() = 0;
    // The next line of the proxy rotation, split into its fields; called once per URL, only when
    // the run uses proxies. Empty fields: this URL goes direct.
    virtual ProxyLineFields TakeNextProxyLine() { return {}; }

    // Displays. The engine calls the per-URL displays (status, file name, progress) only in
    // sequential runs.
    virtual void RunStarted(const RunSettings& settings) = 0;
    virtual void ShowStatus(const QString& panel0, const QString& panel1) = 0;
    virtual void ShowSchedulerWait(const QString& status) = 0;
    virtual void DisplayFilename(const QString& text) = 0;
    // The current transfer's progress in per mille; nothing: length unknown (marquee).
    virtual void ShowProgress(std::optional<int> perMille) = 0;
    virtual void AddDownloadLog(const QString& line) = 0;
    virtual void AddErrorLog(const QString& line) = 0;
    // An error message box ("ERROR"); blocks the calling worker until it is closed.
    virtual void ShowErrorBox(const QString& text) = 0;
    // An error that ended the run itself (not one URL's); RunCompleted follows.
    virtual void ShowRunError(const QString& message) = 0;
    // The run is over; elapsedStatus is "Elapsed Time: ... sec".
    virtual void RunCompleted(const QString& elapsedStatus) = 0;
};

} // namespace hl
