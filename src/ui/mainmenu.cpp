#include "ui/mainmenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>

namespace hl {
namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QAction* checkItem(QMenu* menu, const char* name, const QString& caption, bool checked) {
    QAction* action = item(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

} // namespace

MainMenuActions buildMainMenu(QMenuBar* bar) {
    MainMenuActions a{};
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QObject::tr("&File"));
    a.clearList = item(file, "Clear1", QObject::tr("Clear URL List"));
    a.loadList = item(file, "LoadList1", QObject::tr("Load URL List..."));
    a.saveList = item(file, "SaveList1", QObject::tr("Save URL List..."));
    file->addSeparator();
    a.urlGrabber = item(file, "URLGrabber1", QObject::tr("URL Grabber..."));
    a.scheduler = item(file, "Scheduler1", QObject::tr("Scheduler..."));
    file->addSeparator();
    a.exit = item(file, "Exit1", QObject::tr("Exit"));

    QMenu* edit = bar->addMenu(QObject::tr("&Edit"));
    a.undo = item(edit, "Undo1", QObject::tr("Undo"));
    edit->addSeparator();
    a.cut = item(edit, "Cut1", QObject::tr("Cut"));
    a.copy = item(edit, "Copy1", QObject::tr("Copy"));
    a.paste = item(edit, "Paste1", QObject::tr("Paste"));
    a.deleteSelection = item(edit, "Delete1", QObject::tr("Delete"));
    edit->addSeparator();
    a.selectAll = item(edit, "SelectAll1", QObject::tr("Select All"));

    QMenu* insert = bar->addMenu(QObject::tr("&Insert"));
    a.sampleUrls = item(insert, "SampleURLs1", QObject::tr("Sample URLs..."));
    a.sampleCsv = item(insert, "SampleCSVURLFolder1", QObject::tr("Sample CSV (URL, Folder)..."));

    QMenu* options = bar->addMenu(QObject::tr("&Options"));
    a.advancedSettings = checkItem(options, "Settings1", QObject::tr("Display Advanced Settings"), false);
    options->addSeparator();
    a.multiThreading = checkItem(options, "MultiThreaded1", QObject::tr("Multi-Threading"), false);
    a.overwrite = checkItem(options, "Overwrite1", QObject::tr("Overwrite"), false);
    QMenu* proxyType = options->addMenu(QObject::tr("Proxy Type"));
    proxyType->menuAction()->setObjectName(QStringLiteral("ProxyType1"));
    auto* proxyGroup = new QActionGroup(proxyType);
    a.proxyHttp = checkItem(proxyType, "HTTP1", QObject::tr("HTTP"), true);
    a.proxySocks5 = checkItem(proxyType, "SOCKS51", QObject::tr("SOCKS 5"), false);
    a.proxySocks4a = checkItem(proxyType, "SOCKS4A1", QObject::tr("SOCKS 4A"), false);
    a.proxySocks4 = checkItem(proxyType, "SOCKS41", QObject::tr("SOCKS 4"), false);
    for (QAction* type : {a.proxyHttp, a.proxySocks5, a.proxySocks4a, a.proxySocks4})
        proxyGroup->addAction(type);
    a.rememberProxyList = checkItem(options, "RememberProxyList1", QObject::tr("Remember Proxy List"), false);
    a.resumePartialDownloads =
        checkItem(options, "ResumePartialDownloads1", QObject::tr("Resume Partial Downloads"), true);
    a.showErrors = checkItem(options, "ShowErrors1", QObject::tr("Show Errors"), true);
    a.skipExistingFiles = checkItem(options, "SkipExistingFiles1", QObject::tr("Skip Existing Files"), true);
    a.treatUrlListAsCsv =
        checkItem(options, "TreatURLListAsCSV1", QObject::tr("Treat URL List as CSV"), false);
    a.zlibCompression = checkItem(options, "ZlibCompression1", QObject::tr("Zlib Compression"), true);
    options->addSeparator();
    a.resetToDefaults = item(options, "R1", QObject::tr("Reset to Defaults..."));

    QMenu* help = bar->addMenu(QObject::tr("&Help"));
    a.onlineHelp = item(help, "Help2", QObject::tr("Online Help"));
    a.onlineHelp->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    a.updateNotifications =
        checkItem(help, "UpdateNotifications1", QObject::tr("Update Notifications"), true);
    a.updateNotifications->setEnabled(false);
    help->addSeparator();
    a.sendFeedback = item(help, "SendFeedback1", QObject::tr("Send Feedback..."));
    a.about = item(help, "About1", QObject::tr("About..."));
    return a;
}

std::array<ProxyTypeItem, 4> ProxyTypeItems(const MainMenuActions& menu) {
    return {{{menu.proxyHttp, ProxyType::Http},
             {menu.proxySocks5, ProxyType::Socks5},
             {menu.proxySocks4a, ProxyType::Socks4A},
             {menu.proxySocks4, ProxyType::Socks4}}};
}

ProxyType CheckedProxyType(const MainMenuActions& menu) {
    for (const ProxyTypeItem& item : ProxyTypeItems(menu))
        if (item.action->isChecked()) return item.type;
    return ProxyType::Http;
}

} // namespace hl
