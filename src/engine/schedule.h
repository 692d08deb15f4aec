#pragma once
// The scheduler: starts download runs without the user pressing "DOWNLOAD ALL", once after a
// delay, at once, or again and again with the delay between the end of one run and the start of
// the next, and makes a sequential run pause for the same delay between URLs. It lives only in
// memory: nothing is armed when the program starts.
//
// States: Disarmed (ScheduleActive clear, timer stopped); Waiting (set, timer running); Running
// (set, timer stopped: the scheduled run is going on, or a "Start Now" found a run going on).
//
// Threading: one thread, the front end's, which runs the timer's event loop; the run reads the
// pause through the front end on that thread.
#include "engine/intervaltimer.h"

#include <QtGlobal>
#include <functional>
#include <memory>

namespace hl {

// What the Scheduler dialog's "OK" arms.
struct ScheduleOptions {
    qint64 delaySeconds = 60; // 1 to 999999999
    bool startNow = false;
    bool periodic = false;
    bool delayEach = false;
};

class Schedule {
public:
    // What the schedule needs of the front end that it starts runs on.
    struct FrontEnd {
        // No run is going on (the start button reads "DOWNLOAD ALL").
        std::function<bool()> idle;
        // Presses "DOWNLOAD ALL" as the user would; false when the run-start checks refused it.
        std::function<bool()> startRun;
    };

    // timer is TimerSchedule; the schedule sets its callback.
    Schedule(std::unique_ptr<IntervalTimer> timer, FrontEnd frontEnd);

    // "OK": arms with these options. With startNow, the timer's handler runs once at once instead
    // of the timer being started; otherwise the first run comes one delay from now.
    void Arm(const ScheduleOptions& options);
    // "Cancel"/"STOP" (without the stop request, which is the front end's): disarms.
    // ScheduleDelayEach keeps its value; it counts only while ScheduleActive is set.
    void Disarm();

    // TimerScheduleTimer: starts a run when the front end is idle (stopping the timer first);
    // otherwise does nothing, and the timer tries again one interval later.
    void TimerScheduleTimer();

    // The end of every run, scheduled or not, after the front end is idle again: a periodic
    // schedule waits one delay for its next run, a one-time schedule is disarmed. A run that ends
    // while the schedule is Waiting was started by hand; the scheduled run is still to come.
    void RunEnded();

    bool ScheduleActive() const { return scheduleActive_; }
    bool SchedulePeriodic() const { return schedulePeriodic_; }
    bool ScheduleDelayEach() const { return scheduleDelayEach_; }
    // The delay in milliseconds (60000 until the first Arm).
    qint64 IntervalMs() const { return intervalMs_; }
    bool TimerEnabled() const { return timer_->isActive(); }

    // The pause a sequential run makes between two URLs: the delay while ScheduleActive and
    // ScheduleDelayEach are both set, else 0.
    qint64 PauseBetweenUrlsMs() const;

private:
    std::unique_ptr<IntervalTimer> timer_;
    const FrontEnd frontEnd_;
    qint64 intervalMs_ = 60000;
    bool scheduleActive_ = false;
    bool schedulePeriodic_ = false;
    bool scheduleDelayEach_ = false;
};

} // namespace hl
