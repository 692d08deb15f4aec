#include "cli/cliwindow.h"

#include "engine/resultlines.h"
#include "engine/statustexts.h"

#include <cstdio>

namespace hl::cli {

CliWindow::CliWindow(QStringList lines, DownloadOptions options, RunSettings settings, QStringList proxyLines,
                     QFile* logFile, QFile* errorLogFile)
    : lines_(std::move(lines)), options_(std::move(options)), settings_(settings),
      proxyLines_(std::move(proxyLines)), logFile_(logFile), errorLogFile_(errorLogFile) {
    proxyRotation_.prepare(proxyLines_, settings_.proxyType);
    settings_.useProxy = proxyRotation_.UseProxy;
}

void CliWindow::Synchronize(const std::function<void()>& action) {
    std::lock_guard lock(mutex_);
    action();
}

std::optional<QString> CliWindow::Line(int index) {
    if (index < 0 || index >= lines_.size()) return std::nullopt;
    return lines_.at(index);
}

void CliWindow::ShowStatus(const QString& panel0, const QString&) {
    sequentialStatus_ = panel0;
    perMille_.reset();
}

void CliWindow::writeLine(FILE* stream, QFile* copy, const QString& line) {
    terminal_.clear();
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
    if (copy) {
        copy->write(bytes);
        copy->flush();
    }
}

void CliWindow::AddDownloadLog(const QString& line) {
    writeLine(stdout, logFile_, LogViewLine(line));
}

void CliWindow::AddErrorLog(const QString& line) {
    errorsReported_ = true;
    writeLine(stderr, errorLogFile_, LogViewLine(line));
}

void CliWindow::ShowRunError(const QString& message) {
    errorsReported_ = true;
    writeLine(stderr, nullptr, QStringLiteral("harvestline-cli: the run ended with an error: ") + message);
}

void CliWindow::RunCompleted(const QString& elapsedStatus) {
    elapsedStatus_ = elapsedStatus;
    completed_ = true;
    completedChanged_.notify_all();
    terminal_.finish(elapsedStatus_);
}

bool CliWindow::WaitCompleted(int ms) {
    std::unique_lock lock(mutex_);
    return completedChanged_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return completed_; });
}

void CliWindow::RefreshStatus(const RunState& state) {
    Synchronize([&] {
        if (completed_ || !terminal_.enabled()) return;
        if (settings_.multiThreaded) {
            terminal_.show(MultiThreadStatusText(state.Counters) + QStringLiteral("  ") +
                           SpeedText(state.Slots.TotalSpeedMbps()));
        } else if (!sequentialStatus_.isEmpty()) {
            QString text = sequentialStatus_;
            if (perMille_) text += QStringLiteral(" %1%").arg(*perMille_ / 10);
            terminal_.show(text);
        }
    });
}

} // namespace hl::cli
