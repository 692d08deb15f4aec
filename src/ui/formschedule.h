#pragma once
#include "engine/schedule.h"

#include <QDialog>
#include <QTimer>

class QCheckBox;
class QPushButton;

namespace hl {

class NumberBox;
class SaveGate;
class SettingsStore;

// The Scheduler dialog. It opens with the options stored in settings.ini (a delay outside 1 to
// 999999999 brought to the nearer end, 60 when absent or not a number; each box checked only for
// "ON") and saves every change of a control at once. "OK" asks for the schedule to be armed with
// the options shown; "Cancel" (or Esc) asks for it to be disarmed and the run to stop; both close
// the dialog. The close button only closes it. While a schedule is armed the second button reads
// "STOP", kept in step every 100 ms. GUI thread only.
class TScheduleForm : public QDialog {
    Q_OBJECT
public:
    // store, saves and schedule outlive the dialog.
    TScheduleForm(SettingsStore& store, SaveGate& saves, const Schedule& schedule, QWidget* parent);

    // The options as the controls show them.
    ScheduleOptions options() const;

    static constexpr int minimumDelay = 1;
    static constexpr int maximumDelay = 999999999;

signals:
    void armRequested(const hl::ScheduleOptions& options);
    void disarmRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void bindControls();
    void Button1Click();
    void Button2Click();
    void Timer1Timer();

    SettingsStore& store_;
    SaveGate& saves_;
    const Schedule& schedule_;
    NumberBox* delay_;
    QCheckBox* startNow_;
    QCheckBox* periodic_;
    QCheckBox* delayEach_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QTimer captionTimer_;
};

} // namespace hl
