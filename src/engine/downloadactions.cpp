#include "engine/downloadactions.h"

#include "engine/clock.h"
#include "engine/errormessage.h"
#include "engine/resultlines.h"
#include "engine/statustexts.h"

namespace hl {

DownloadActions::DownloadActions(DownloadWindow& window, RunState& state, const Clock& clock)
    : window_(window), state_(state), clock_(clock) {}

DownloadActions::UrlStart DownloadActions::StartUrl(const QString& url, bool multithreaded) {
    UrlStart start;
    start.prefix = StatusPrefix(state_.LineNumber.load(), state_.LineCount.load());
    window_.Synchronize([&] {
        start.options = window_.CurrentOptions();
        if (!multithreaded) window_.ShowStatus(DownloadingStatus(start.prefix, url), QString());
    });
    return start;
}

qint64 DownloadActions::ClaimSlot() {
    qint64 slot = -1;
    window_.Synchronize([&] { slot = state_.Slots.Claim(clock_.nowMs()); });
    return slot;
}

ProxyLineFields DownloadActions::TakeNextProxyLine() {
    ProxyLineFields line;
    window_.Synchronize([&] { line = window_.TakeNextProxyLine(); });
    return line;
}

void DownloadActions::DisplayFilename(const QString& text, bool multithreaded) {
    if (!multithreaded) window_.Synchronize([&] { window_.DisplayFilename(text); });
}

ReservedOutput DownloadActions::Reserve(const QString& filename, bool overwrite, bool resumePartial,
                                        bool emptyCountsAsAbsent, OutputReservations::Hold& hold) {
    // Files are created under the reservations' own lock, not as a window action: file system
    // calls on a busy disk would stall the window's event loop.
    return state_.Reservations.Reserve(filename, overwrite, resumePartial, emptyCountsAsAbsent, hold);
}

void DownloadActions::RecordWork(qint64 slot, qint64 bytes, std::optional<qint64> length,
                                 bool multithreaded) {
    const qint64 now = clock_.nowMs();
    const std::optional<int> perMille = ProgressPerMille(bytes, length.value_or(-1), QString());
    window_.Synchronize([&] {
        state_.Slots.RecordWork(slot, bytes, now, length);
        if (!multithreaded) window_.ShowProgress(perMille);
    });
}

void DownloadActions::CountReceivedBytes(qint64 bytes) {
    state_.Counters.BytesReceived += bytes;
}

void DownloadActions::RecordRedirect(qint64 slot, const QString& target, bool multithreaded,
                                     const QString& prefix) {
    window_.Synchronize([&] {
        state_.Slots.SetRedirect(slot, target);
        if (!multithreaded) window_.ShowStatus(RedirectedStatus(prefix, target), QString());
    });
}

void DownloadActions::finish(qint64 slot, bool succeeded) {
    state_.Counters.CountDownloading -= 1;
    (succeeded ? state_.Counters.CountFinished : state_.Counters.CountErrors) += 1;
    state_.Slots.Release(slot);
}

void DownloadActions::FinishSkipped(qint64 slot, const QString& url) {
    window_.Synchronize([&] {
        window_.AddDownloadLog(SkippedLine(url, state_.Slots.Redirect(slot)));
        finish(slot, true);
    });
}

void DownloadActions::FinishDownloaded(qint64 slot, const QString& url) {
    window_.Synchronize([&] {
        window_.AddDownloadLog(DownloadedLine(url, state_.Slots.Redirect(slot)));
        finish(slot, true);
    });
}

void DownloadActions::FinishEmpty(qint64 slot, const QString& url, int attempts, bool showErrors) {
    window_.Synchronize([&] {
        window_.AddDownloadLog(DownloadedLine(url, state_.Slots.Redirect(slot)));
        window_.AddErrorLog(EmptyFileLine(attempts, url));
        finish(slot, true);
        if (showErrors) window_.ShowErrorBox(EmptyFileBoxText(attempts, url));
    });
}

void DownloadActions::FinishFailed(qint64 slot, const QString& message, const QString& url,
                                   const QString& proxyLine, bool showErrors) {
    window_.Synchronize([&] {
        window_.AddErrorLog(ErrorLine(message, url, proxyLine));
        finish(slot, false);
        if (showErrors) window_.ShowErrorBox(ErrorBoxText(message, url, proxyLine));
    });
}

void DownloadActions::FinishStopped(qint64 slot, const QString& url) {
    window_.Synchronize([&] {
        window_.AddErrorLog(StoppedLine(url));
        finish(slot, false);
    });
}

void DownloadActions::FinishAfterError(qint64 slot, const std::exception& error, bool cutByStop,
                                       const QString& url, const QString& proxyLine, bool showErrors) {
    if (cutByStop)
        FinishStopped(slot, url);
    else
        FinishFailed(slot, ErrorMessage(error), url, proxyLine, showErrors);
}

} // namespace hl
