#pragma once
// The window actions of one URL procedure (HTTP or FTP): each member is one DownloadWindow::Synchronize
// call, so the worker waits for it, and each keeps the run counters, the transfer slot and the
// result lines together as one step. Called on worker threads.
#include "engine/downloadwindow.h"
#include "engine/outputfiles.h"
#include "engine/outputreservations.h"
#include "engine/runstate.h"

#include <QString>
#include <exception>
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
    ProxyLineFields TakeNextProxyLine();
    // Shown only in sequential runs.
    void DisplayFilename(const QString& text, bool multithreaded);
    // Chooses and creates the output and partial files (OutputReservations::Reserve); they stay
    // held by `hold` while the download runs.
    ReservedOutput Reserve(const QString& filename, bool overwrite, bool resumePartial,
                           bool emptyCountsAsAbsent, OutputReservations::Hold& hold);

    // A transfer's progress: the slot's bytes and announced length (nothing: unknown), and in
    // sequential runs the progress display.
    void RecordWork(qint64 slot, qint64 bytes, std::optional<qint64> length, bool multithreaded);
    // Adds newly received body bytes to the run's total; not a window action, so it may be called
    // for every block.
    void CountReceivedBytes(qint64 bytes);
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
    void finish(qint64 slot, bool succeeded);

    DownloadWindow& window_;
    RunState& state_;
    const Clock& clock_;
};

} // namespace hl
