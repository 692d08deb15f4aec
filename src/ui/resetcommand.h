#pragma once
#include <QObject>
#include <QString>
#include <functional>

namespace hl {

class SaveGate;
class UserPrompts;

// Options > "Reset to Defaults...": after a Yes to "Restart Application?", deletes list.txt and
// settings.ini (proxylist.txt stays), saves nothing more and restarts the program without
// arguments. GUI thread only.
class ResetCommand : public QObject {
    Q_OBJECT
public:
    // restart starts the program anew and ends this one.
    ResetCommand(QString settingsFolder, UserPrompts& prompts, SaveGate& saves, std::function<void()> restart,
                 QObject* parent);

    void run();

    // Starts the running executable again without arguments, then quits the event loop.
    static void restartProgram();

private:
    QString settingsFolder_;
    UserPrompts& prompts_;
    SaveGate& saves_;
    std::function<void()> restart_;
};

} // namespace hl
