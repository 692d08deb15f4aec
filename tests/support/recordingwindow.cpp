#include "support/recordingwindow.h"

namespace hl::test {

void RecordingWindow::Synchronize(const std::function<void()>& action) {
    std::lock_guard lock(mutex_);
    action();
}

std::optional<QString> RecordingWindow::Line(int index) {
    if (index < 0 || index >= lines.size()) return std::nullopt;
    return lines.at(index);
}

void RecordingWindow::prepareProxies(ProxyType type) {
    proxyRotation.prepare(proxyLines, type);
    runSettings.useProxy = proxyRotation.UseProxy;
    runSettings.proxyType = proxyRotation.ProxyScheme;
}

void RecordingWindow::ShowProgress(std::optional<int> perMille) {
    progress.append(perMille);
    if (onProgress) onProgress();
}

void RecordingWindow::RunCompleted(const QString& status) {
    elapsedStatus = status;
    ++runsCompleted;
}

} // namespace hl::test
