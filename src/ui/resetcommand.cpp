#include "ui/resetcommand.h"

#include "settings/settingsfolder.h"
#include "ui/savegate.h"
#include "ui/userprompts.h"

#include <QCoreApplication>
#include <QProcess>

namespace hl {

ResetCommand::ResetCommand(QString settingsFolder, UserPrompts& prompts, SaveGate& saves,
                           std::function<void()> restart, std::function<void()> finishRun, QObject* parent)
    : QObject(parent), settingsFolder_(std::move(settingsFolder)), prompts_(prompts), saves_(saves),
      restart_(restart ? std::move(restart) : &ResetCommand::restartProgram),
      finishRun_(std::move(finishRun)) {}

void ResetCommand::run() {
    if (resetting_ || !prompts_.confirm(tr("Confirm"), tr("Restart Application?"), tr("Yes"), tr("No")))
        return;
    resetting_ = true;
    // The new program must not start while this one still downloads (and writes a .part file the
    // new one might resume at the same moment).
    finishRun_();
    // Closed first: nothing on the way out may write the files back.
    saves_.close();
    RemoveStoredSettings(settingsFolder_);
    QCoreApplication::processEvents();
    restart_();
}

void ResetCommand::restartProgram() {
    QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
    QCoreApplication::quit();
}

} // namespace hl
