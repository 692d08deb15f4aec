#include "ui/appform.h"

#include "platform/standardfolders.h"
#include "services/versioninfo.h"
#include "settings/settingsfolder.h"
#include "settings/settingsstore.h"
#include "ui/actionrow.h"
#include "ui/advancedsettingspanel.h"
#include "ui/desktoplinks.h"
#include "ui/enterkey.h"
#include "ui/filedrops.h"
#include "ui/foldercommands.h"
#include "ui/folderrow.h"
#include "ui/icons.h"
#include "ui/listmirror.h"
#include "ui/logcommands.h"
#include "ui/logtab.h"
#include "ui/maintoolbar.h"
#include "ui/makerwindows.h"
#include "ui/multithreadingcommand.h"
#include "ui/progressrow.h"
#include "ui/proxycommands.h"
#include "ui/proxylisttab.h"
#include "ui/resetcommand.h"
#include "ui/runcontroller.h"
#include "ui/savegate.h"
#include "ui/schedulecontroller.h"
#include "ui/settingsbinder.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"
#include "ui/urlgrabbercommand.h"
#include "ui/updatechecker.h"
#include "ui/urllistcommands.h"
#include "ui/userprompts.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace hl {

TAppForm::TAppForm(WindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent),
      prompts_(environment.prompts ? environment.prompts : std::make_shared<DialogPrompts>(this)),
      menu_(buildMainMenu(menuBar())), toolBar_(new MainToolBar(menu_, this)), pages_(new QTabWidget),
      urlEditor_(new TextEditor), proxyTab_(new ProxyListTab(nullptr)),
      downloadLog_(new LogTab({"Button1", "Button2", "SynEditDownload", "PopupMenu3"}, nullptr)),
      errorLog_(new LogTab({"Button8", "Button10", "SynEditLog", "PopupMenu2"}, nullptr)),
      advanced_(new AdvancedSettingsPanel(nullptr)), folderRow_(new FolderRow(nullptr)),
      actionRow_(new ActionRow(nullptr)), progressRow_(new ProgressRow(nullptr)),
      status_(new StatusPanels(this)) {
    layOut();
    attachControllers(environment);
    applyStoredSettings(environment.desktopFolder.isEmpty() ? DesktopFolder() : environment.desktopFolder);
}

void TAppForm::attachControllers(const WindowEnvironment& environment) {
    const QString folder =
        environment.settingsFolder.isEmpty() ? ChooseSettingsFolder() : environment.settingsFolder;
    store_ = std::make_unique<SettingsStore>(folder);
    saves_ = std::make_unique<SaveGate>(*prompts_);
    // Each controller is a child of the window, which owns it.
    folderCommands_ = new FolderCommands(folderRow_, *prompts_, this);
    urlListCommands_ = new UrlListCommands(this, *prompts_, this);
    settingsBinder_ = new SettingsBinder(this, *store_, *saves_, this);
    listMirror_ =
        new ListMirror(urlEditor_, proxyTab_->editor(), menu_.rememberProxyList, folder, *saves_, this);
    runController_ = new RunController(this, environment.engine, this);
    const IntervalTimerFactory makeScheduleTimer =
        environment.scheduleTimer ? environment.scheduleTimer
                                  : [clock = environment.engine.clock] { return MakeDeadlineTimer(clock); };
    scheduleController_ = new ScheduleController(this, *store_, *saves_, makeScheduleTimer, this);
    new ProxyCommands(proxyTab_, *prompts_, this);
    new DesktopLinks(this, this);
    new MultiThreadingCommand(this, *store_, *saves_, environment.engine.workerLimits, this);
    new UrlGrabberCommand(this, environment.prompts, environment.engine.resolver, this);
    new LogCommands(downloadLog_, this);
    new LogCommands(errorLog_, this);
    auto* reset = new ResetCommand(
        folder, *prompts_, *saves_, environment.restart, [this] { runController_->shutDown(); }, this);
    connect(menu_.resetToDefaults, &QAction::triggered, reset, &ResetCommand::run);
    connect(menu_.exit, &QAction::triggered, this, &TAppForm::close);
    const auto openWithDesktop =
        environment.openWithDesktop ? environment.openWithDesktop : std::function(DesktopLinks::openUrl);
    updateChecker_ = new UpdateChecker(menu_.updateNotifications, this, environment.makerServices,
                                       CurrentProgramIdentity(), *saves_, openWithDesktop, this);
    new MakerWindows(this, CurrentProgramIdentity(), environment.makerServices.server, *prompts_,
                     openWithDesktop);
}

// The order in which a start applies what was stored.
void TAppForm::applyStoredSettings(const QString& desktopFolder) {
    settingsBinder_->applyStoredSettings(desktopFolder);
    if (menu_.rememberProxyList->isChecked()) listMirror_->loadProxyList();
    listMirror_->loadUrlList();
    if (urlEditor_->isBlank()) urlListCommands_->insertSamples(false);
    // A start leaves the files as it found the lists, before anything is typed.
    listMirror_->writePending();
}

TAppForm::~TAppForm() {
    scheduleController_->disarm();
    runController_->shutDown();
    listMirror_->writePending();
}

void TAppForm::layOut() {
    setObjectName(QStringLiteral("AppForm"));
    setWindowTitle(CurrentProgramIdentity().applicationTitle);
    setWindowIcon(themeIcon(QStringLiteral("harvestline")));
    setAcceptDrops(true);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    setStatusBar(status_);

    pages_->setObjectName(QStringLiteral("PageControl1"));
    urlEditor_->setObjectName(QStringLiteral("Memo1"));
    urlEditor_->popupMenu()->setObjectName(QStringLiteral("PopupMenu1"));
    pages_->addTab(urlEditor_, themeIcon(QStringLiteral("world")), tr("URL List"));
    pages_->addTab(proxyTab_, themeIcon(QStringLiteral("server_go")), tr("Proxy List"));
    pages_->addTab(downloadLog_, themeIcon(QStringLiteral("download-log")), tr("Download Log"));
    pages_->addTab(errorLog_, themeIcon(QStringLiteral("error")), tr("Error Log"));
    pages_->setCurrentIndex(UrlListPage);
    errorLog_->view()->setOpenUrlsOnCtrlClick(true);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pages_, 1);
    layout->addSpacing(4);
    for (QWidget* row : {static_cast<QWidget*>(advanced_), static_cast<QWidget*>(folderRow_),
                         static_cast<QWidget*>(actionRow_), static_cast<QWidget*>(progressRow_)})
        layout->addWidget(row);
    setCentralWidget(central);

    advanced_->hide();
    progressRow_->hide();
    for (QLineEdit* box : findChildren<QLineEdit*>())
        passFileDropsToWindow(box);

    resize(750, 538 + menuBar()->sizeHint().height());
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

void TAppForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    urlEditor_->setFocus();
    urlEditor_->moveCursor(QTextCursor::End);
}

void TAppForm::closeEvent(QCloseEvent* event) {
    scheduleController_->disarm();
    if (!runController_->running()) {
        // Nothing typed may be lost: the lists reach their files before the window goes.
        listMirror_->writePending();
        return QMainWindow::closeEvent(event);
    }
    event->ignore();
    connect(runController_, &RunController::runFinished, this, &TAppForm::close, Qt::SingleShotConnection);
    if (actionRow_->state() == RunButtonState::Running) runController_->runButtonClicked();
}

void TAppForm::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc that no control took for itself.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // The control that has the focus in this window is the one the key was typed into.
        QWidget* focus = focusWidget();
        switch (enterActionFor(focus)) {
        case EnterAction::PressDefaultButton:
            if (actionRow_->runButton()->isEnabled()) actionRow_->runButton()->click();
            break;
        case EnterAction::PressFocusedButton:
            if (focus->isEnabled()) static_cast<QAbstractButton*>(focus)->click();
            break;
        case EnterAction::Nothing:
            break;
        }
        return;
    }
    if (event->key() == Qt::Key_Escape && actionRow_->state() == RunButtonState::Running) {
        runController_->runButtonClicked();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TAppForm::dragEnterEvent(QDragEnterEvent* event) {
    if (carriesLocalFiles(event->mimeData())) event->acceptProposedAction();
}

void TAppForm::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    openDroppedPaths(localFilePaths(event->mimeData()));
}

void TAppForm::openDroppedPaths(const QStringList& paths) {
    for (const QString& path : paths) {
        if (QFileInfo(path).isDir())
            folderCommands_->folderDropped(path);
        else
            urlListCommands_->loadDroppedFile(path);
    }
}

} // namespace hl
