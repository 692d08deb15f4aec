#include "ui/schedulecontroller.h"

#include "ui/appform.h"
#include "ui/formschedule.h"
#include "ui/runcontroller.h"

#include <QAction>

namespace hl {

ScheduleController::ScheduleController(TAppForm* form, SettingsStore& store, SaveGate& saves,
                                       const IntervalTimerFactory& makeTimer, QObject* parent)
    : QObject(parent), form_(form), store_(store), saves_(saves),
      schedule_(makeTimer(), {[form] { return form->runController()->idle(); },
                              [form] {
                                  form->runController()->runButtonClicked();
                                  return form->runController()->running();
                              }}) {
    connect(form_->menu().scheduler, &QAction::triggered, this, &ScheduleController::Scheduler1Click);
    connect(form_->runController(), &RunController::runFinished, this, [this] { schedule_.RunEnded(); });
}

void ScheduleController::Scheduler1Click() {
    TScheduleForm dialog(store_, saves_, schedule_, form_);
    connect(&dialog, &TScheduleForm::armRequested, this,
            [this](const ScheduleOptions& options) { schedule_.Arm(options); });
    connect(&dialog, &TScheduleForm::disarmRequested, this, &ScheduleController::cancel);
    dialog.exec();
}

void ScheduleController::cancel() {
    form_->runController()->requestStop();
    schedule_.Disarm();
}

} // namespace hl
