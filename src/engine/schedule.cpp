#include "engine/schedule.h"

namespace hl {

Schedule::Schedule(std::unique_ptr<IntervalTimer> timer, FrontEnd frontEnd)
    : timer_(std::move(timer)), frontEnd_(std::move(frontEnd)) {
    timer_->onTimeout = [this] { TimerScheduleTimer(); };
}

void Schedule::Arm(const ScheduleOptions& options) {
    scheduleActive_ = true;
    intervalMs_ = options.delaySeconds * 1000;
    // Set before a "Start Now" run starts: a run refused at once ends the schedule by these.
    schedulePeriodic_ = options.periodic;
    scheduleDelayEach_ = options.delayEach;
    timer_->stop();
    if (options.startNow)
        TimerScheduleTimer();
    else
        timer_->start(intervalMs_);
}

void Schedule::Disarm() {
    scheduleActive_ = false;
    schedulePeriodic_ = false;
    timer_->stop();
}

void Schedule::TimerScheduleTimer() {
    if (!frontEnd_.idle()) return;
    timer_->stop();
    // A refused run (empty list, unwritable folder) ends as a run would; without this the schedule
    // would stay armed with no timer and no run to end it.
    if (!frontEnd_.startRun()) RunEnded();
}

void Schedule::RunEnded() {
    if (!scheduleActive_ || timer_->isActive()) return;
    if (schedulePeriodic_)
        timer_->start(intervalMs_);
    else
        scheduleActive_ = false;
}

qint64 Schedule::PauseBetweenUrlsMs() const {
    return scheduleActive_ && scheduleDelayEach_ ? intervalMs_ : 0;
}

} // namespace hl
