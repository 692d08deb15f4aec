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
    return state_.Slots.Claim(clock_.nowMs());
}

ProxyLineFields DownloadActions::TakeNextProxyLine() {
    ProxyLineFields line;
    window_.Synchronize([&] {
        line = state_.Proxies.takeNext(window_.ProxyLineCount(),
                                       [this](int index) { return window_.ProxyLine(index); });
    });
    return line;
}

void DownloadActions::DisplayFilename(const QString& text, bool multithreaded) {
    if (!multithreaded) window_.Post([&window = window_, text] { window.DisplayFilename(text); });
}

void DownloadActions::RecordRedirect(qint64 slot, const QString& target, bool multithreaded,
                                     const QString& prefix) {
    state_.Slots.SetRedirect(slot, target);
    if (!multithreaded)
        window_.Post([&window = window_, status = RedirectedStatus(prefix, target)] {
            window.ShowStatus(status, QString());
        });
}

QString DownloadActions::finish(qint64 slot, bool succeeded) {
    const QString redirect = state_.Slots.Redirect(slot);
    state_.Slots.Release(slot);
    state_.Counters.CountDownloading -= 1;
    (succeeded ? state_.Counters.CountFinished : state_.Counters.CountErrors) += 1;
    return redirect;
}

void DownloadActions::report(std::function<void()> lines, const std::optional<QString>& box) {
    if (!box) return window_.Post(std::move(lines));
    window_.Synchronize([&] {
        lines();
        window_.ShowErrorBox(*box);
    });
}

void DownloadActions::FinishSkipped(qint64 slot, const QString& url) {
    const QString line = SkippedLine(url, finish(slot, true));
    report([&window = window_, line] { window.AddDownloadLog(line); });
}

void DownloadActions::FinishDownloaded(qint64 slot, const QString& url) {
    const QString line = DownloadedLine(url, finish(slot, true));
    report([&window = window_, line] { window.AddDownloadLog(line); });
}

void DownloadActions::FinishEmpty(qint64 slot, const QString& url, int attempts, bool showErrors) {
    const QString downloaded = DownloadedLine(url, finish(slot, true));
    const QString error = EmptyFileLine(attempts, url);
    report(
        [&window = window_, downloaded, error] {
            window.AddDownloadLog(downloaded);
            window.AddErrorLog(error);
        },
        showErrors ? std::optional(EmptyFileBoxText(attempts, url)) : std::nullopt);
}

void DownloadActions::FinishFailed(qint64 slot, const QString& message, const QString& url,
                                   const QString& proxyLine, bool showErrors) {
    finish(slot, false);
    const QString line = ErrorLine(message, url, proxyLine);
    report([&window = window_, line] { window.AddErrorLog(line); },
           showErrors ? std::optional(ErrorBoxText(message, url, proxyLine)) : std::nullopt);
}

void DownloadActions::FinishStopped(qint64 slot, const QString& url) {
    finish(slot, false);
    const QString line = StoppedLine(url);
    report([&window = window_, line] { window.AddErrorLog(line); });
}

void DownloadActions::FinishAfterError(qint64 slot, const std::exception& error, bool cutByStop,
                                       const QString& url, const QString& proxyLine, bool showErrors) {
    if (cutByStop)
        FinishStopped(slot, url);
    else
        FinishFailed(slot, ErrorMessage(error), url, proxyLine, showErrors);
}

} // namespace hl
