#pragma once
#include "engine/workerlimits.h"

#include <QObject>

namespace hl {

class SaveGate;
class SettingsStore;
class TAppForm;

// Options > "Multi-Threading": an unchecked item opens the Multi-Threading dialog, whose "Enable"
// checks the item and stores "MultiThreaded", "MultiThreads" and "ClassicMultiThreads" with one
// save; a checked item unchecks itself and stores "MultiThreaded" as "OFF". GUI thread only.
class MultiThreadingCommand : public QObject {
    Q_OBJECT
public:
    MultiThreadingCommand(TAppForm* form, SettingsStore& store, SaveGate& saves, WorkerLimits limits,
                          QObject* parent);

private:
    void clicked(bool nowChecked);
    void openDialog();

    TAppForm* form_;
    SettingsStore& store_;
    SaveGate& saves_;
    const WorkerLimits limits_;
};

} // namespace hl
