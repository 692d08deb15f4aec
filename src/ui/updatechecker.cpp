#include "ui/updatechecker.h"

#include "settings/userstore.h"
#include "ui/savegate.h"

#include <QAction>
#include <QTimer>

namespace hl {

UpdateChecker::UpdateChecker(QAction* toggle, QWidget* mainWindow, UpdateCheckEnvironment environment,
                             ProgramIdentity identity, SaveGate& saves,
                             std::function<void(const QString&)> openUrl, QObject* parent)
    : QObject(parent), toggle_(toggle), mainWindow_(mainWindow), environment_(std::move(environment)),
      identity_(std::move(identity)), saves_(saves), openUrl_(std::move(openUrl)),
      TimerChecker(new QTimer(this)) {
    TimerChecker->setObjectName(QStringLiteral("TimerChecker"));
    TimerChecker->setInterval(1000);
    connect(TimerChecker, &QTimer::timeout, this, &UpdateChecker::TimerCheckerTimer);
    connect(toggle_, &QAction::triggered, this, &UpdateChecker::UpdateNotifications1Click);
    TimerChecker->start();
}

UpdateChecker::~UpdateChecker() = default;

void UpdateChecker::TimerCheckerTimer() {
    if (!checker_) {
        checker_ = std::make_unique<TChecker>(environment_, identity_);
        return;
    }
    if (!checker_->Finished()) return;
    TimerChecker->stop();
    finish(checker_->Outcome());
}

void UpdateChecker::finish(const UpdateCheckOutcome& outcome) {
    toggle_->setEnabled(true);
    if (!outcome.showUpdate) toggle_->setChecked(false);
    if (!outcome.noticeWanted) return;
    const QString link = outcome.latestUrl.isEmpty() ? environment_.server.homePage() : outcome.latestUrl;
    notice_ = new TNewVer(identity_.productName, outcome.latestVersion, link, openUrl_, mainWindow_,
                          noticeTimings_);
}

void UpdateChecker::UpdateNotifications1Click(bool checked) {
    const QString path = environment_.storePath;
    saves_.save(path, [&] {
        UserStore store(path);
        store.Open();
        store.WriteInteger(updatekeys::ShowUpdate, checked ? 1 : 0);
    });
}

} // namespace hl
