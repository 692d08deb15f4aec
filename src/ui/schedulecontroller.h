#pragma once
#include "engine/intervaltimer.h"
#include "engine/schedule.h"

#include <QObject>

namespace hl {

class SaveGate;
class SettingsStore;
class TAppForm;

// File > "Scheduler..." and the schedule it arms: owns the program-wide Schedule with its timer
// TimerSchedule, which presses "DOWNLOAD ALL" when the window is idle; applies the end-of-run rule
// when a run has finished; and answers the run's question for the pause between URLs. GUI thread
// only.
class ScheduleController : public QObject {
    Q_OBJECT
public:
    // makeTimer makes TimerSchedule. form, store and saves outlive the controller.
    ScheduleController(TAppForm* form, SettingsStore& store, SaveGate& saves,
                       const IntervalTimerFactory& makeTimer, QObject* parent);

    const Schedule& schedule() const { return schedule_; }
    // The pause a sequential run makes between two URLs, in ms; 0 for none.
    qint64 pauseBetweenUrlsMs() const { return schedule_.PauseBetweenUrlsMs(); }

    // Scheduler1Click: the dialog, modal to the window.
    void Scheduler1Click();
    // The window closes: nothing stays armed.
    void disarm() { schedule_.Disarm(); }

private:
    // "Cancel"/"STOP": disarms and asks a run going on to stop.
    void cancel();

    TAppForm* form_;
    SettingsStore& store_;
    SaveGate& saves_;
    Schedule schedule_;
};

} // namespace hl
