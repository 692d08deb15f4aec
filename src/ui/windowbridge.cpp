#include "ui/windowbridge.h"

#include "engine/resultlines.h"
#include "settings/settingsstore.h"
#include "ui/advancedsettingspanel.h"
#include "ui/appform.h"
#include "ui/errorboxqueue.h"
#include "ui/folderrow.h"
#include "ui/logtab.h"
#include "ui/progressrow.h"
#include "ui/proxylisttab.h"
#include "ui/schedulecontroller.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QThread>
#include <exception>

namespace hl {
WindowBridge::WindowBridge(TAppForm* form, RunState& state, QObject* parent)
    : QObject(parent), form_(form), state_(state), errorBoxes_(new ErrorBoxQueue(form->prompts(), this)) {}

void WindowBridge::Synchronize(const std::function<void()>& action) {
    if (QThread::currentThread() == thread()) return action();
    std::exception_ptr failure;
    std::shared_ptr<BoxRelease> box;
    QMetaObject::invokeMethod(
        this,
        [&] {
            boxOfRunningAction_ = &box;
            try {
                action();
            } catch (...) {
                failure = std::current_exception();
            }
            boxOfRunningAction_ = nullptr;
        },
        Qt::BlockingQueuedConnection);
    if (box) box->wait();
    if (failure) std::rethrow_exception(failure);
}

void WindowBridge::dropErrorBoxes() {
    errorBoxes_->dropWorkerBoxes();
}

bool WindowBridge::multiThreaded() const {
    return form_->menu().multiThreading->isChecked();
}

void WindowBridge::prepareProxyRotation() {
    TextEditor* proxies = form_->proxyTab()->editor();
    proxies->deleteBlankLines();
    const MainMenuActions& menu = form_->menu();
    ProxyType type = ProxyType::Http;
    if (menu.proxySocks5->isChecked())
        type = ProxyType::Socks5;
    else if (menu.proxySocks4a->isChecked())
        type = ProxyType::Socks4A;
    else if (menu.proxySocks4->isChecked())
        type = ProxyType::Socks4;
    QStringList lines = proxies->lines();
    rotation_.prepare(lines, type);
}

RunSettings WindowBridge::CurrentRunSettings() {
    const Settings stored = form_->settingsStore().Snapshot();
    RunSettings settings;
    settings.multiThreaded = multiThreaded();
    settings.multiThreads = stored.Number(SettingKey::MultiThreads);
    settings.classicEngine = stored.Switch(SettingKey::ClassicMultiThreads);
    settings.useProxy = rotation_.UseProxy;
    settings.proxyType = rotation_.ProxyScheme;
    return settings;
}

DownloadOptions WindowBridge::CurrentOptions() {
    const AdvancedSettingsPanel* advanced = form_->advancedSettings();
    const MainMenuActions& menu = form_->menu();
    DownloadOptions options;
    options.saveFolder = form_->folderRow()->folderBox()->text();
    options.extension = advanced->extensionBox()->text();
    options.userAgent = advanced->userAgentBox()->currentText();
    options.connectTimeoutMs = advanced->connectionTimeoutBox()->value();
    options.readTimeoutMs = advanced->responseTimeoutBox()->value();
    options.serverProposedName = advanced->serverProposedNameBox()->isChecked();
    options.fullUrl = advanced->fullUrlBox()->isChecked();
    options.includeParams = advanced->includeParametersBox()->isChecked();
    options.overwrite = menu.overwrite->isChecked();
    options.resumePartial = menu.resumePartialDownloads->isChecked();
    options.showErrors = menu.showErrors->isChecked();
    options.skipExisting = menu.skipExistingFiles->isChecked();
    options.treatAsCsv = menu.treatUrlListAsCsv->isChecked();
    options.zlibCompression = menu.zlibCompression->isChecked();
    return options;
}

int WindowBridge::LineCount() {
    return form_->urlEditor()->lineCount();
}

std::optional<QString> WindowBridge::Line(int index) {
    if (index < 0 || index >= form_->urlEditor()->lineCount()) return std::nullopt;
    return form_->urlEditor()->line(index);
}

qint64 WindowBridge::SchedulerPauseMs() {
    return form_->scheduleController()->pauseBetweenUrlsMs();
}

ProxyLineFields WindowBridge::TakeNextProxyLine() {
    return rotation_.takeNext(form_->proxyTab()->editor()->lines());
}

void WindowBridge::RunStarted(const RunSettings& settings) {
    emit runStarted(settings.multiThreaded);
}

void WindowBridge::ShowStatus(const QString& panel0, const QString& panel1) {
    form_->statusPanels()->setPanelText(0, panel0);
    form_->statusPanels()->setPanelText(1, panel1);
}

void WindowBridge::ShowSchedulerWait(const QString& status) {
    form_->statusPanels()->setPanelText(0, status);
    form_->progressRow()->setPosition(0);
    form_->progressRow()->hide();
}

void WindowBridge::DisplayFilename(const QString& text) {
    if (!multiThreaded()) form_->statusPanels()->setPanelText(1, text);
}

void WindowBridge::ShowProgress(std::optional<int> perMille) {
    if (multiThreaded()) return;
    ProgressRow* progress = form_->progressRow();
    progress->show();
    if (perMille)
        progress->setPosition(*perMille);
    else
        progress->setMarquee(true);
}

void WindowBridge::AddDownloadLog(const QString& line) {
    form_->downloadLog()->view()->appendLine(LogViewLine(line));
}

void WindowBridge::AddErrorLog(const QString& line) {
    form_->errorLog()->view()->appendLine(LogViewLine(line));
}

void WindowBridge::ShowErrorBox(const QString& text) {
    // After a stop request nobody waits for a box: its error is in the Error Log.
    if (state_.StopRequested.requested()) return;
    std::shared_ptr<BoxRelease> release = errorBoxes_->addWorkerBox(text);
    if (boxOfRunningAction_) *boxOfRunningAction_ = std::move(release);
}

void WindowBridge::ShowRunError(const QString& message) {
    errorBoxes_->addRunBox(message);
}

void WindowBridge::RunCompleted(const QString& elapsedStatus) {
    emit runCompleted(elapsedStatus);
}

} // namespace hl
