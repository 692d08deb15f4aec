#include "support/recordingwindow.h"

namespace hl::test {

void RecordingWindow::Synchronize(const std::function<void()>& action) {
    std::lock_guard lock(mutex_);
    action();
    changed_.notify_all();
}

std::optional<QString> RecordingWindow::Line(int index) {
    if (index < 0 || index >= lines.size()) return std::nullopt;
    return lines.at(index);
}

ProxyLineFields RecordingWindow::TakeNextProxyLine() {
    if (proxyLines.isEmpty()) return {};
    return parseProxyLine(proxyLines.at(nextProxy_++ % proxyLines.size()));
}

void RecordingWindow::ShowProgress(std::optional<int> perMille) {
    progress.append(perMille);
    if (onProgress) onProgress();
}

void RecordingWindow::AddDownloadLog(const QString& line) {
    downloadLog.append(line);
    if (onLog) onLog(line);
}

void RecordingWindow::AddErrorLog(const QString& line) {
    errorLog.append(line);
    if (onLog) onLog(line);
}

void RecordingWindow::RunCompleted(const QString& status) {
    elapsedStatus = status;
    ++runsCompleted;
}

bool RecordingWindow::waitFor(const std::function<bool()>& pred, int timeoutMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), pred);
}

} // namespace hl::test
