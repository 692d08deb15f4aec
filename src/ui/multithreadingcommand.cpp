#include "ui/multithreadingcommand.h"

#include "settings/settingsstore.h"
#include "ui/appform.h"
#include "ui/multithreadform.h"
#include "ui/savegate.h"

#include <QAction>

namespace hl {

MultiThreadingCommand::MultiThreadingCommand(TAppForm* form, SettingsStore& store, SaveGate& saves,
                                             WorkerLimits limits, QObject* parent)
    : QObject(parent), form_(form), store_(store), saves_(saves), limits_(limits) {
    connect(form_->menu().multiThreading, &QAction::triggered, this, &MultiThreadingCommand::clicked);
}

void MultiThreadingCommand::clicked(bool nowChecked) {
    if (nowChecked) {
        // Only "Enable" may check the item.
        form_->menu().multiThreading->setChecked(false);
        openDialog();
        return;
    }
    saves_.save(store_.FilePath(), [this] { store_.WriteSwitch(SettingKey::MultiThreaded, false); });
}

void MultiThreadingCommand::openDialog() {
    const Settings stored = store_.Snapshot();
    TFormMultiThread dialog(
        limits_.DefaultMinWorkers, limits_.DefaultMaxWorkers,
        {stored.Number(SettingKey::MultiThreads), stored.Switch(SettingKey::ClassicMultiThreads)}, form_);
    if (dialog.exec() != QDialog::Accepted) return;
    const MultiThreadChoice choice = dialog.choice();
    form_->menu().multiThreading->setChecked(true);
    saves_.save(store_.FilePath(), [&] {
        store_.Write({{SettingKey::MultiThreaded, SwitchText(true)},
                      {SettingKey::MultiThreads, QString::number(choice.threads)},
                      {SettingKey::ClassicMultiThreads, SwitchText(choice.classicEngine)}});
    });
}

} // namespace hl
