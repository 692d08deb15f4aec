#include "support/recordingwindow.h"

#include "engine/runstart.h"
#include "engine/statustexts.h"

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
    proxyLines = RemoveBlankLines(proxyLines);
    runSettings.proxyType = type;
}

void RecordingWindow::ProgressPublished(const TransferProgress& published) {
    std::lock_guard lock(mutex_);
    // As the window's progress bar: sequential runs only.
    if (runSettings.multiThreaded) return;
    progress.append(ProgressPerMille(published.bytes, published.length.value_or(-1), QString()));
    if (onProgress) onProgress();
}

void RecordingWindow::RunCompleted(const QString& status) {
    elapsedStatus = status;
    ++runsCompleted;
}

} // namespace hl::test
