#pragma once
// The window's side of the update check: TimerChecker starts the check on its first tick and
// watches for its end on the later ones; then the Help menu toggle "Update Notifications" is
// enabled (without its check mark when the user switched the check off) and, when the server named
// another version, the update notice opens. The toggle writes ShowUpdate for the next start.
#include "services/checker.h"
#include "ui/newversion.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QTimer;

namespace hl {

class SaveGate;

class UpdateChecker : public QObject {
    Q_OBJECT
public:
    // toggle: the menu entry "Update Notifications", checked and disabled until the check ends.
    // mainWindow: the notice's owner. saves: reports a ShowUpdate that cannot be written. The timer
    // starts at once.
    UpdateChecker(QAction* toggle, QWidget* mainWindow, UpdateCheckEnvironment environment,
                  ProgramIdentity identity, SaveGate& saves, std::function<void(const QString&)> openUrl,
                  QObject* parent);
    ~UpdateChecker() override;

    QTimer* timer() const { return TimerChecker; }
    // The notice while it is open.
    TNewVer* notice() const { return notice_; }
    // How the notice, when one opens, counts down and animates.
    void setNoticeTimings(NoticeTimings timings) { noticeTimings_ = timings; }

    void TimerCheckerTimer();
    void UpdateNotifications1Click(bool checked);

private:
    void finish(const UpdateCheckOutcome& outcome);

    QAction* toggle_;
    QWidget* mainWindow_;
    UpdateCheckEnvironment environment_;
    ProgramIdentity identity_;
    SaveGate& saves_;
    std::function<void(const QString&)> openUrl_;
    NoticeTimings noticeTimings_;
    QTimer* TimerChecker;
    std::unique_ptr<TChecker> checker_;
    QPointer<TNewVer> notice_;
};

} // namespace hl
