#include "engine/intervaltimer.h"

#include <QTimer>
#include <algorithm>

namespace hl {

namespace {

class DeadlineTimer final : public IntervalTimer {
public:
    DeadlineTimer(std::shared_ptr<const Clock> clock, int longestStepMs)
        : clock_(std::move(clock)), longestStepMs_(std::max(longestStepMs, 1)) {
        step_.setSingleShot(true);
        step_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&step_, &QTimer::timeout, &step_, [this] { stepEnded(); });
    }

    void start(qint64 intervalMs) override {
        intervalMs_ = std::max<qint64>(intervalMs, 0);
        active_ = true;
        deadline_ = clock_->nowMs() + intervalMs_;
        waitForDeadline();
    }

    void stop() override {
        active_ = false;
        step_.stop();
    }

    bool isActive() const override { return active_; }

private:
    void waitForDeadline() {
        const qint64 remaining = std::max<qint64>(deadline_ - clock_->nowMs(), 0);
        step_.start(static_cast<int>(std::min<qint64>(remaining, longestStepMs_)));
    }

    void stepEnded() {
        if (!active_) return;
        const qint64 now = clock_->nowMs();
        if (now < deadline_) return waitForDeadline();
        // The next interval counts from this timeout, so a late timeout (a busy or suspended
        // machine) is not followed by a burst of them.
        deadline_ = now + intervalMs_;
        waitForDeadline();
        if (onTimeout) onTimeout();
    }

    const std::shared_ptr<const Clock> clock_;
    const int longestStepMs_;
    QTimer step_;
    qint64 intervalMs_ = 0;
    qint64 deadline_ = 0;
    bool active_ = false;
};

} // namespace

std::unique_ptr<IntervalTimer> MakeDeadlineTimer(std::shared_ptr<const Clock> clock, int longestStepMs) {
    return std::make_unique<DeadlineTimer>(std::move(clock), longestStepMs);
}

} // namespace hl
