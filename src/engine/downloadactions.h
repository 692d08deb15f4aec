#pragma once
// What one URL's lifecycle does to the run state and the front end: the options snapshot, the
// transfer slot, the proxy turn, the displays and the result lines. Called on worker threads. Only
// the steps whose answer the worker needs (the options, a proxy line) and the error boxes wait for
// the front end's thread; displays and result lines are posted (DownloadWindow::Post), and the slot
// and the counters change on the worker itself.
#include "engine/downloadwindow.h"
#include "engine/runstate.h"

#include <QString>
#include <exception>
#include <functional>
#include <optional>

namespace hl {

class Clock;

class DownloadActions {
public:
    DownloadActions(DownloadWindow& window, RunState& state, const Clock& clock);

    // The options snapshot of a URL that starts, and its status prefix "(n / m)". A sequential run
    // also shows prefix + " Downloading " + url + "..." and clears the file name.
    struct UrlStart {
        DownloadOptions options;
        QString prefix;
    };
    UrlStart StartUrl(const QString& url, bool multithreaded);

    // Claims a transfer slot; -1 is never returned.
    qint64 ClaimSlot();
    // The next line of the run's proxy turn, read from the front end's list as it is now.
    ProxyLineFields TakeNextProxyLine();
    // Shown only in sequential runs.
    void DisplayFilename(const QString& text, bool multithreaded);
    // A redirect target for the slot; a sequential run shows it in the status line.
    void RecordRedirect(qint64 slot, const QString& target, bool multithreaded, const QString& prefix);

    // Ends of a URL whose transfer was counted as under way. Each writes its result line(s),
    // moves the counters and releases the slot (slot -1: none was claimed).
    void FinishSkipped(qint64 slot, const QString& url);
    void FinishDownloaded(qint64 slot, const QString& url);
    // Downloaded, but the body stayed empty after `attempts` requests: also an Error Log line and,
    // with showErrors, a box. Counted as finished.
    void FinishEmpty(qint64 slot, const QString& url, int attempts, bool showErrors);
    void FinishFailed(qint64 slot, const QString& message, const QString& url, const QString& proxyLine,
                      bool showErrors);
    // A transfer cut short by STOP: an error without a box.
    void FinishStopped(qint64 slot, const QString& url);
    // A transfer that ended with `error`: FinishStopped when STOP cut it, else FinishFailed with the
    // error's message.
    void FinishAfterError(qint64 slot, const std::exception& error, bool cutByStop, const QString& url,
                          const QString& proxyLine, bool showErrors);

private:
    // Counts the URL's end and releases its slot; returns the slot's last redirect target.
    QString finish(qint64 slot, bool succeeded);
    // Posts the result lines; with a box, waits for it instead (the lines go first).
    void report(std::function<void()> lines, const std::optional<QString>& box = std::nullopt);

    DownloadWindow& window_;
    RunState& state_;
    const Clock& clock_;
};

} // namespace hl
