#pragma once
// What the window benchmarks share: a window environment whose prompts never wait for a user, and
// a probe of the GUI thread's event loop that records how long it was kept from turning.
#include "threadcpu.h"
#include "ui/userprompts.h"
#include "ui/windowenvironment.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

// Answers nothing and shows nothing: the bench must not stop at a dialog.
class NoPrompts : public hl::UserPrompts {
public:
    void showMessage(hl::MessageIcon, const QString& caption, const QString& text) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
    bool confirm(const QString&, const QString&, const QString&, const QString&) override { return false; }
    std::optional<hl::ListFileChoice> chooseFileToOpen(const QString&, const QString&) override { return {}; }
    std::optional<hl::ListFileChoice> chooseFileToSave(const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    void beep() override {}
};

// A window with its settings in settingsFolder, saving to saveFolder, showing nothing.
inline hl::WindowEnvironment BenchEnvironment(const QString& settingsFolder, const QString& saveFolder) {
    hl::WindowEnvironment environment;
    environment.settingsFolder = settingsFolder + QLatin1Char('/');
    environment.desktopFolder = saveFolder + QLatin1Char('/');
    environment.prompts = std::make_shared<NoPrompts>();
    return environment;
}

// Ticks every millisecond on the GUI thread and records the gaps between ticks: in wall-clock time
// (what a user sees, including time the system gave to other processes) and in the GUI thread's
// own CPU time (the work that kept the event loop from turning, whatever the machine's load).
class EventLoopProbe : public QObject {
public:
    EventLoopProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 wall = clock_.nsecsElapsed();
            const qint64 cpu = threadCpuNs();
            wallGapsNs_.push_back(wall - lastWallNs_);
            worstCpuGapNs_ = std::max(worstCpuGapNs_, cpu - lastCpuNs_);
            lastWallNs_ = wall;
            lastCpuNs_ = cpu;
        });
    }
    void start() {
        clock_.start();
        lastWallNs_ = 0;
        lastCpuNs_ = threadCpuNs();
        timer_.start();
    }
    void stop() { timer_.stop(); }
    qint64 ticks() const { return qint64(wallGapsNs_.size()); }
    double worstCpuGapMs() const { return double(worstCpuGapNs_) / 1e6; }
    // The wall-clock gap that share of all gaps stays under (1.0: the worst).
    double wallGapMs(double share) const {
        if (wallGapsNs_.empty()) return 0;
        std::vector<qint64> sorted = wallGapsNs_;
        std::sort(sorted.begin(), sorted.end());
        const auto index = std::min(sorted.size() - 1, std::size_t(share * double(sorted.size())));
        return double(sorted[index]) / 1e6;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 lastWallNs_ = 0;
    qint64 lastCpuNs_ = 0;
    qint64 worstCpuGapNs_ = 0;
    std::vector<qint64> wallGapsNs_;
};

inline double loadAverage() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

} // namespace bench
