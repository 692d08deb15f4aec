#pragma once
#include "ui/mainmenu.h"
#include "ui/windowenvironment.h"

#include <QMainWindow>
#include <memory>

class QTabWidget;

namespace hl {

class ActionRow;
class AdvancedSettingsPanel;
class FolderCommands;
class FolderRow;
class ListMirror;
class LogTab;
class MainToolBar;
class ProgressRow;
class ProxyListTab;
class RunController;
class SaveGate;
class ScheduleController;
class SettingsBinder;
class SettingsStore;
class StatusPanels;
class TextEditor;
class UpdateChecker;
class UrlListCommands;
class UserPrompts;

// The main window: toolbar, the four tabs, the advanced rows, the folder, action and progress
// rows and the status bar. It lays out its parts and owns the controllers that give them their
// behaviour, one per area. Creating it opens the settings store and applies the stored options
// (settings.ini, list.txt, proxylist.txt; the sample list on an empty start).
class TAppForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TAppForm(WindowEnvironment environment = {}, QWidget* parent = nullptr);
    ~TAppForm() override;

    const MainMenuActions& menu() const { return menu_; }
    QTabWidget* pages() const { return pages_; }
    TextEditor* urlEditor() const { return urlEditor_; }
    ProxyListTab* proxyTab() const { return proxyTab_; }
    LogTab* downloadLog() const { return downloadLog_; }
    LogTab* errorLog() const { return errorLog_; }
    AdvancedSettingsPanel* advancedSettings() const { return advanced_; }
    FolderRow* folderRow() const { return folderRow_; }
    ActionRow* actionRow() const { return actionRow_; }
    ProgressRow* progressRow() const { return progressRow_; }
    StatusPanels* statusPanels() const { return status_; }
    UserPrompts& prompts() const { return *prompts_; }
    FolderCommands* folderCommands() const { return folderCommands_; }
    UrlListCommands* urlListCommands() const { return urlListCommands_; }
    SettingsStore& settingsStore() const { return *store_; }
    RunController* runController() const { return runController_; }
    ScheduleController* scheduleController() const { return scheduleController_; }
    UpdateChecker* updateChecker() const { return updateChecker_; }
    ListMirror* listMirror() const { return listMirror_; }

    // Index of each tab in pages().
    enum Page { UrlListPage, ProxyListPage, DownloadLogPage, ErrorLogPage };

    // Files and folders dropped on the window, in the order the drop gave them: a folder becomes
    // the save folder, a file's content replaces the URL list.
    void openDroppedPaths(const QStringList& paths);

protected:
    void showEvent(QShowEvent* event) override;
    // A schedule is disarmed, a run still going is stopped first; the window closes when it has
    // ended.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void layOut();
    void attachControllers(const WindowEnvironment& environment);
    void applyStoredSettings(const QString& desktopFolder);

    std::shared_ptr<UserPrompts> prompts_;
    MainMenuActions menu_;
    MainToolBar* toolBar_;
    QTabWidget* pages_;
    TextEditor* urlEditor_;
    ProxyListTab* proxyTab_;
    LogTab* downloadLog_;
    LogTab* errorLog_;
    AdvancedSettingsPanel* advanced_;
    FolderRow* folderRow_;
    ActionRow* actionRow_;
    ProgressRow* progressRow_;
    StatusPanels* status_;
    std::unique_ptr<SettingsStore> store_;
    std::unique_ptr<SaveGate> saves_;
    FolderCommands* folderCommands_ = nullptr;
    UrlListCommands* urlListCommands_ = nullptr;
    SettingsBinder* settingsBinder_ = nullptr;
    ListMirror* listMirror_ = nullptr;
    RunController* runController_ = nullptr;
    ScheduleController* scheduleController_ = nullptr;
    UpdateChecker* updateChecker_ = nullptr;
    bool shownOnce_ = false;
};

} // namespace hl
