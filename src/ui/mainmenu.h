#pragma once
#include "settings/proxytype.h"

#include <array>

class QAction;
class QMenuBar;

namespace hl {

// The items of the main menu. Each QAction carries its designer name as objectName ("Clear1",
// "MultiThreaded1", ...). The check items of the Options menu are checkable and start in their
// default state; the four proxy types form one exclusive group.
struct MainMenuActions {
    // File
    QAction* clearList;
    QAction* loadList;
    QAction* saveList;
    QAction* urlGrabber;
    QAction* scheduler;
    QAction* exit;
    // Edit (acts on the URL editor)
    QAction* undo;
    QAction* cut;
    QAction* copy;
    QAction* paste;
    QAction* deleteSelection;
    QAction* selectAll;
    // Insert
    QAction* sampleUrls;
    QAction* sampleCsv;
    // Options
    QAction* advancedSettings;
    QAction* multiThreading;
    QAction* overwrite;
    QAction* proxyHttp;
    QAction* proxySocks5;
    QAction* proxySocks4a;
    QAction* proxySocks4;
    QAction* rememberProxyList;
    QAction* resumePartialDownloads;
    QAction* showErrors;
    QAction* skipExistingFiles;
    QAction* treatUrlListAsCsv;
    QAction* zlibCompression;
    QAction* resetToDefaults;
    // Help
    QAction* onlineHelp;
    QAction* updateNotifications;
    QAction* sendFeedback;
    QAction* about;
};

// Fills bar with the File, Edit, Insert, Options and Help menus. The actions are children of bar.
MainMenuActions buildMainMenu(QMenuBar* bar);

// A "Proxy Type" item and the type it stands for.
struct ProxyTypeItem {
    QAction* action;
    ProxyType type;
};
std::array<ProxyTypeItem, 4> ProxyTypeItems(const MainMenuActions& menu);
// The type of the checked "Proxy Type" item.
ProxyType CheckedProxyType(const MainMenuActions& menu);

} // namespace hl
