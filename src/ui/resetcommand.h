#pragma once
#include <QObject>
#include <QString>
#include <functional>

namespace hl {

class SaveGate;
class UserPrompts;

// Options > "Reset to Defaults...": after a Yes to "Restart Application?", stops a run that is
// going and waits for its end, deletes list.txt and settings.ini (proxylist.txt stays), saves
// nothing more and restarts the program without arguments. GUI thread only.
class ResetCommand : public QObject {
    Q_OBJECT
public:
    // restart starts the program anew and ends this one; finishRun stops a run that is going and
    // returns when it has ended.
    ResetCommand(QString settingsFolder, UserPrompts& prompts, SaveGate& saves, std::function<void()> restart,
                 std::function<void()> finishRun, QObject* parent);

    void run();

    // Starts the running executable again without arguments, then quits the event loop.
    static void restartProgram();

private:
    QString settingsFolder_;
    UserPrompts& prompts_;
    SaveGate& saves_;
    std::function<void()> restart_;
    std::function<void()> finishRun_;
    // Set from the Yes on: the wait for the run answers events, a second reset among them.
    bool resetting_ = false;
};

} // namespace hl
