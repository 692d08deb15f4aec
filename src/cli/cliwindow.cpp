#include "cli/cliwindow.h"

#include "engine/clock.h"
#include "engine/resultlines.h"

#include <cstdio>

namespace hl::cli {

CliWindow::CliWindow(QStringList lines, DownloadOptions options, RunSettings settings, QStringList proxyLines,
                     QFile* logFile, QFile* errorLogFile, ConsoleOutput output)
    : lines_(std::move(lines)), options_(std::move(options)), settings_(settings),
      proxyLines_(std::move(proxyLines)), logFile_(logFile), errorLogFile_(errorLogFile), output_(output),
      display_(output.bar, output.closingLines, steadyClock()->nowMs()) {
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

// stream: nullptr when the line goes only to the copy. onTerminal: the stream is the terminal that
// shows the bar.
void CliWindow::writeLine(FILE* stream, QFile* copy, const QString& line, bool onTerminal, Paint paint) {
    const QByteArray bytes = line.toUtf8();
    if (stream) {
        if (onTerminal) display_.suspend();
        const QByteArray shown = Painted(bytes, paint) + '\n';
        std::fwrite(shown.constData(), 1, static_cast<size_t>(shown.size()), stream);
        std::fflush(stream);
        if (onTerminal) display_.resume();
    }
    if (copy) {
        copy->write(bytes + '\n');
        copy->flush();
    }
}

void CliWindow::AddDownloadLog(const QString& line) {
    const bool skipped = line.startsWith(SkippedLine(QString()));
    ++(skipped ? tally_.skipped : tally_.downloaded);
    const Paint paint = skipped && output_.colourOutput ? Paint::Dim : Paint::Plain;
    writeLine(output_.downloadLog ? stdout : nullptr, logFile_, LogViewLine(line),
              output_.outputSharesTerminal, paint);
}

void CliWindow::AddErrorLog(const QString& line) {
    errorsReported_ = true;
    ++tally_.errors;
    writeLine(stderr, errorLogFile_, LogViewLine(line), true, errorPaint());
}

void CliWindow::ShowRunError(const QString& message) {
    errorsReported_ = true;
    writeLine(stderr, nullptr, QStringLiteral("harvestline-cli: the run ended with an error: ") + message,
              true, errorPaint());
}

void CliWindow::RunCompleted(const QString& elapsedStatus) {
    elapsedStatus_ = elapsedStatus;
    completed_ = true;
    completedChanged_.notify_all();
}

bool CliWindow::WaitCompleted(int ms) {
    std::unique_lock lock(mutex_);
    return completedChanged_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return completed_; });
}

RunSnapshot CliWindow::snapshot(const RunState& state) const {
    RunSnapshot snapshot;
    snapshot.total = lines_.size();
    snapshot.ended = state.Counters.CountFinished.load() + state.Counters.CountErrors.load();
    snapshot.errors = tally_.errors;
    snapshot.bytesReceived = state.Counters.BytesReceived.load();
    for (const auto& [index, slot] : state.Slots.InUse())
        snapshot.transfers.push_back({slot.FLastBytes, slot.FLength});
    return snapshot;
}

void CliWindow::RefreshStatus(const RunState& state) {
    Synchronize([&] {
        if (!completed_) display_.refresh(snapshot(state), steadyClock()->nowMs());
    });
}

void CliWindow::Finish(const RunState& state) {
    Synchronize([&] {
        display_.finish(tally_, state.Counters.BytesReceived.load(), elapsedStatus_, steadyClock()->nowMs());
    });
}

} // namespace hl::cli
