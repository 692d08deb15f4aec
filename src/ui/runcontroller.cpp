#include "ui/runcontroller.h"

#include "engine/downloader.h"
#include "engine/runstart.h"
#include "engine/statustexts.h"
#include "ui/actionrow.h"
#include "ui/appform.h"
#include "ui/foldercommands.h"
#include "ui/folderrow.h"
#include "ui/listmirror.h"
#include "ui/progressrow.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"
#include "ui/userprompts.h"
#include "ui/windowbridge.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace hl {

RunController::RunController(TAppForm* form, EngineEnvironment environment, QObject* parent)
    : QObject(parent), form_(form), environment_(std::move(environment)),
      bridge_(new WindowBridge(form, state_, this)) {
    connect(form_->actionRow()->runButton(), &QPushButton::clicked, this, &RunController::runButtonClicked);
    connect(bridge_, &WindowBridge::runStarted, this, &RunController::runStarted);
    connect(bridge_, &WindowBridge::runCompleted, this, &RunController::runCompleted);

    speedTimer_.setObjectName(QStringLiteral("TimerSpeed"));
    speedTimer_.setInterval(100);
    connect(&speedTimer_, &QTimer::timeout, this, &RunController::showSpeed);
    speedTimer_.start();
    multiThreadStatusTimer_.setObjectName(QStringLiteral("TimerMultiThreadStatus"));
    multiThreadStatusTimer_.setInterval(100);
    connect(&multiThreadStatusTimer_, &QTimer::timeout, this, &RunController::showMultiThreadStatus);
}

RunController::~RunController() {
    shutDown();
}

void RunController::shutDown() {
    if (!runThread_) return;
    stopRun();
    // The completion resets runThread_ once the run has ended; until then the workers' calls
    // must still be answered.
    while (runThread_)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void RunController::runButtonClicked() {
    if (form_->actionRow()->state() == RunButtonState::Idle)
        startRun();
    else
        stopRun();
}

bool RunController::idle() const {
    return !runThread_ && form_->actionRow()->state() == RunButtonState::Idle;
}

bool RunController::prepareRun() {
    QLineEdit* folderBox = form_->folderRow()->folderBox();
    QString folder = folderBox->text();
    if (!folder.endsWith(QLatin1Char('/'))) folderBox->setText(folder + QLatin1Char('/'));
    folder = folderBox->text();
    form_->folderCommands()->setSaveFolder(folder);

    TextEditor* urls = form_->urlEditor();
    urls->deleteBlankLines();
    if (urls->isBlank()) {
        form_->prompts().showMessage(MessageIcon::Warning, QStringLiteral("WARNING"), EmptyListMessage());
        return false;
    }
    if (const std::optional<QString> refusal = PrepareSaveFolder(folder)) {
        form_->prompts().showMessage(MessageIcon::Warning, QStringLiteral("WARNING"), *refusal);
        return false;
    }
    bridge_->prepareProxyRotation();
    // The files mirror the lists as the run reads them.
    form_->listMirror()->writePending();
    return true;
}

void RunController::startRun() {
    if (runThread_ || !prepareRun()) return;
    state_.StopRequested.clear();
    form_->actionRow()->setState(RunButtonState::Running);
    form_->statusPanels()->setPanelText(0, QString());
    form_->statusPanels()->setPanelText(1, QString());
    form_->progressRow()->setVisible(!form_->menu().multiThreading->isChecked());
    runThread_ = std::make_unique<RunThread>(*bridge_, state_, environment_);
}

void RunController::stopRun() {
    state_.StopRequested.request();
    bridge_->dropErrorBoxes();
    form_->actionRow()->setState(RunButtonState::Stopping);
}

void RunController::runStarted(bool multiThreaded) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    cursorShown_ = true;
    if (multiThreaded) multiThreadStatusTimer_.start();
}

void RunController::runCompleted(const QString& elapsedStatus) {
    QApplication::beep();
    if (std::exchange(cursorShown_, false)) QApplication::restoreOverrideCursor();
    form_->statusPanels()->setPanelText(0, elapsedStatus);
    form_->statusPanels()->setPanelText(1, QString());
    multiThreadStatusTimer_.stop();
    form_->progressRow()->setPosition(0);
    form_->progressRow()->hide();
    form_->progressRow()->setSpeedText(QString());
    form_->actionRow()->setState(RunButtonState::Idle);
    // The run thread is still inside this action; it is joined once the action has returned.
    QMetaObject::invokeMethod(
        this,
        [this] {
            runThread_.reset();
            emit runFinished();
        },
        Qt::QueuedConnection);
}

void RunController::showSpeed() {
    const QString text = SpeedText(state_.Slots.TotalSpeedMbps());
    if (form_->menu().multiThreading->isChecked())
        form_->statusPanels()->setPanelText(1, text);
    else
        form_->progressRow()->setSpeedText(text);
}

void RunController::showMultiThreadStatus() {
    form_->statusPanels()->setPanelText(0, MultiThreadStatusText(state_.Counters));
}

} // namespace hl
