#include "support/tempdir.h"
#include "support/urlrecorder.h"
#include "support/windowfixture.h"
#include "ui/actionrow.h"
#include "ui/advancedsettingspanel.h"
#include "ui/appform.h"
#include "ui/folderrow.h"
#include "ui/logtab.h"
#include "ui/progressrow.h"
#include "ui/proxylisttab.h"
#include "ui/runcontroller.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QToolBar>
#include <functional>
#include <gtest/gtest.h>

namespace hl {
namespace {

class AppFormTest : public test::WindowTest {
protected:
    // A menu as "Caption[name]" items, "-" for a separator, "Caption{...}" for a submenu; check
    // items end with "+" when checked and "o" when not, disabled items with "!".
    static QStringList describe(const QMenu* menu) {
        QStringList items;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) {
                items << QStringLiteral("-");
                continue;
            }
            QString item = action->text() + QLatin1Char('[') + action->objectName() + QLatin1Char(']');
            if (action->menu())
                item += QLatin1Char('{') + describe(action->menu()).join(QLatin1Char(',')) + QLatin1Char('}');
            if (action->isCheckable()) item += action->isChecked() ? QLatin1Char('+') : QLatin1Char('o');
            if (!action->isEnabled()) item += QLatin1Char('!');
            items << item;
        }
        return items;
    }
};

TEST_F(AppFormTest, MenusHoldTheirItemsInOrderWithTheirStartingChecks) {
    QStringList menus;
    for (QAction* action : form->menuBar()->actions())
        menus << action->text().remove(QLatin1Char('&')) + QLatin1Char(':') +
                     describe(action->menu()).join(QLatin1Char(','));
    EXPECT_EQ(menus,
              QStringList({
                  "File:Clear URL List[Clear1],Load URL List...[LoadList1],Save URL List...[SaveList1],-,"
                  "URL Grabber...[URLGrabber1],Scheduler...[Scheduler1],-,Exit[Exit1]",
                  "Edit:Undo[Undo1],-,Cut[Cut1],Copy[Copy1],Paste[Paste1],Delete[Delete1],-,"
                  "Select All[SelectAll1]",
                  "Insert:Sample URLs...[SampleURLs1],Sample CSV (URL, Folder)...[SampleCSVURLFolder1]",
                  "Options:Display Advanced Settings[Settings1]o,-,Multi-Threading[MultiThreaded1]o,"
                  "Overwrite[Overwrite1]o,Proxy Type[ProxyType1]{HTTP[HTTP1]+,SOCKS 5[SOCKS51]o,"
                  "SOCKS 4A[SOCKS4A1]o,SOCKS 4[SOCKS41]o},Remember Proxy List[RememberProxyList1]o,"
                  "Resume Partial Downloads[ResumePartialDownloads1]+,Show Errors[ShowErrors1]+,"
                  "Skip Existing Files[SkipExistingFiles1]+,Treat URL List as CSV[TreatURLListAsCSV1]o,"
                  "Zlib Compression[ZlibCompression1]+,-,Reset to Defaults...[R1]",
                  "Help:Online Help[Help2],-,Update Notifications[UpdateNotifications1]+!,-,"
                  "Send Feedback...[SendFeedback1],About...[About1]",
              }));
    EXPECT_EQ(form->menu().onlineHelp->shortcut(), QKeySequence(Qt::Key_F1));
    form->menu().proxySocks4->trigger();
    EXPECT_FALSE(form->menu().proxyHttp->isChecked());
}

TEST_F(AppFormTest, ToolbarButtonsCarryCaptionsHintsAndTheirMenuCommands) {
    auto* toolBar = form->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(toolBar, nullptr);
    QStringList buttons;
    for (QAction* action : toolBar->actions())
        buttons << (action->isSeparator() ? QStringLiteral("-")
                                          : action->text() + QLatin1Char('/') + action->toolTip());
    EXPECT_EQ(buttons, QStringList({"Clear/Clear URL list", "Load List/Load list from file",
                                    "Save List/Save list to file", "-", "URL Grabber/Extract links from URL",
                                    "Scheduler/Schedule downloads", "-", "Feedback/Show feedback form",
                                    "About/Show aboutbox", "Help/Online help"}));
    for (QAction* action : toolBar->actions())
        EXPECT_FALSE(action->icon().isNull() && !action->isSeparator());

    int helpRequests = 0;
    QObject::connect(form->menu().onlineHelp, &QAction::triggered, [&] { ++helpRequests; });
    toolBar->actions().constLast()->trigger();
    EXPECT_EQ(helpRequests, 1);
    EXPECT_TRUE(toolBar->actions().at(toolBar->actions().size() - 2)->isEnabled());
    form->menu().about->setEnabled(false);
    EXPECT_FALSE(toolBar->actions().at(toolBar->actions().size() - 2)->isEnabled());
}

TEST_F(AppFormTest, StartsOnTheUrlListWithDefaultsAndOnlyTheBasicRowsShown) {
    form->show();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("LUMBRIX - Harvestline"));
    QStringList tabs;
    for (int i = 0; i < form->pages()->count(); ++i)
        tabs << form->pages()->tabText(i);
    EXPECT_EQ(tabs, QStringList({"URL List", "Proxy List", "Download Log", "Error Log"}));
    EXPECT_EQ(form->pages()->currentIndex(), TAppForm::UrlListPage);

    for (const char* row : {"Panel4", "Panel5", "Panel7", "Panel3", "Panel6", "PanelProgress"})
        EXPECT_FALSE(form->findChild<QWidget*>(QLatin1String(row))->isVisible()) << row;
    for (const char* row : {"Panel2", "Panel1", "StatusBar1"})
        EXPECT_TRUE(form->findChild<QWidget*>(QLatin1String(row))->isVisible()) << row;

    EXPECT_EQ(form->actionRow()->runButton()->text(), QStringLiteral("DOWNLOAD ALL"));
    EXPECT_EQ(form->advancedSettings()->userAgentBox()->count(), 6);
    EXPECT_EQ(form->advancedSettings()->userAgentBox()->currentText(),
              form->advancedSettings()->userAgentBox()->itemText(0));
    EXPECT_EQ(form->progressRow()->speedText(), QString());
    EXPECT_EQ(form->statusPanels()->panelText(0), QString());
}

TEST_F(AppFormTest, RunButtonShowsEachRunState) {
    QPushButton* button = form->actionRow()->runButton();
    const struct {
        RunButtonState state;
        const char* caption;
        bool enabled;
    } states[] = {{RunButtonState::Running, "STOP", true},
                  {RunButtonState::Stopping, "STOPPING...", false},
                  {RunButtonState::Idle, "DOWNLOAD ALL", true}};
    for (const auto& s : states) {
        form->actionRow()->setState(s.state);
        EXPECT_EQ(button->text(), QLatin1String(s.caption));
        EXPECT_EQ(button->isEnabled(), s.enabled);
    }
}

TEST_F(AppFormTest, F1AndCtrlClickedErrorLogUrlsOpenInTheBrowser) {
    test::UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F1);
    emit form->errorLog()->view()->urlActivated(QStringLiteral("http://127.0.0.1:9/missing.zip"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    EXPECT_EQ(recorder.opened,
              QList<QUrl>({QUrl(QStringLiteral("http://www.lumbrix.example/help/harvestline/")),
                           QUrl(QStringLiteral("http://127.0.0.1:9/missing.zip"))}));
}

TEST_F(AppFormTest, EnterPressesDownloadAllOnlyFromSingleLineBoxesAndCheckBoxes) {
    test::UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    form->menu().advancedSettings->trigger();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // An empty list: each press of "DOWNLOAD ALL" shows "URL list is empty!" and starts nothing.
    const auto presses = [&] {
        return std::count_if(prompts->messages.begin(), prompts->messages.end(),
                             [](const auto& m) { return m.text == QStringLiteral("URL list is empty!"); });
    };
    const auto lines = [](TextEditor* editor) { return editor->document()->blockCount(); };
    TextEditor* urls = form->urlEditor();
    TextEditor* proxies = form->proxyTab()->editor();
    const struct {
        const char* control;
        int page;
        bool pressesDownloadAll;
        std::function<bool()> ownEffect; // what the control itself did with Enter
    } cases[] = {
        {"Edit1", TAppForm::UrlListPage, true, {}},
        {"Edit6", TAppForm::UrlListPage, true, {}},
        {"ComboBox1", TAppForm::UrlListPage, true, {}},
        {"SpinEdit1", TAppForm::UrlListPage, true, {}},
        {"SpinEdit2", TAppForm::UrlListPage, true, {}},
        {"CheckBox1", TAppForm::UrlListPage, true, {}},
        {"CheckBox3", TAppForm::UrlListPage, true, {}},
        {"Edit3", TAppForm::ProxyListPage, true, {}},
        {"SpinEdit3", TAppForm::ProxyListPage, true, {}},
        {"Edit5", TAppForm::ProxyListPage, true, {}},
        {"BitBtn1", TAppForm::UrlListPage, true, {}},
        {"Memo1", TAppForm::UrlListPage, false, [&] { return lines(urls) == 2; }},
        {"SynEditProxy", TAppForm::ProxyListPage, false, [&] { return lines(proxies) == 2; }},
        {"Button6", TAppForm::ProxyListPage, false, [&] { return proxies->text().endsWith(":1080"); }},
        {"SynEditDownload", TAppForm::DownloadLogPage, false, {}},
        {"Button1", TAppForm::DownloadLogPage, false,
         [&] { return form->downloadLog()->view()->text().isEmpty(); }},
        {"Button2", TAppForm::DownloadLogPage, false,
         [&] { return QApplication::clipboard()->text() == "http://127.0.0.1/d\r\n"; }},
        {"SynEditLog", TAppForm::ErrorLogPage, false, {}},
        {"Button8", TAppForm::ErrorLogPage, false,
         [&] { return form->errorLog()->view()->text().isEmpty(); }},
        {"BitBtn2", TAppForm::UrlListPage, false, [&] { return prompts->folderPickerStarts.size() == 1; }},
        {"BitBtn4", TAppForm::UrlListPage, false, [&] { return recorder.opened.size() == 1; }},
    };
    for (const auto& c : cases) {
        urls->setLines({});
        form->downloadLog()->view()->setLines({QStringLiteral("(DOWNLOADED) URL: http://127.0.0.1/d")});
        form->errorLog()->view()->setLines({QStringLiteral("(ERROR) Error URL: http://127.0.0.1/e")});
        form->pages()->setCurrentIndex(c.page);
        auto* control = form->findChild<QWidget*>(QLatin1String(c.control));
        ASSERT_NE(control, nullptr) << c.control;
        control->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() != nullptr; })) << c.control;
        const auto before = presses();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(presses() - before, c.pressesDownloadAll ? 1 : 0) << c.control;
        if (c.ownEffect) {
            EXPECT_TRUE(c.ownEffect()) << c.control;
        }
        EXPECT_FALSE(form->runController()->running()) << c.control;
    }
    // The tab bar keeps Enter too.
    form->pages()->tabBar()->setFocus();
    const auto before = presses();
    QTest::keyClick(form->pages()->tabBar(), Qt::Key_Return);
    EXPECT_EQ(presses(), before);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST_F(AppFormTest, StatusPanelsShowAUrlThatLooksLikeMarkupAsWritten) {
    const QString url =
        QStringLiteral("(1 / 1) Downloading http://127.0.0.1/<b>bold</b>&amp;<i>x</i>.zip...");
    form->statusPanels()->setPanelText(0, url);
    auto* panel = form->statusPanels()->findChild<QLabel*>(QStringLiteral("StatusPanel0"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->textFormat(), Qt::PlainText);
    EXPECT_EQ(panel->text(), url);
    // The tool tip, which is always read as markup, renders to the same text.
    QTextDocument tip;
    tip.setHtml(panel->toolTip());
    EXPECT_EQ(tip.toPlainText(), url);
}

// Drops as the window system delivers them: to the control under the pointer first.
class DropTest : public AppFormTest {
protected:
    // Drags data over control and drops it there; whether the drop was taken.
    bool dropOn(QWidget* control, QMimeData* data) {
        const QPoint point = control->rect().center();
        QDragEnterEvent enter(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(control, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(point), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(control, &drop);
        return drop.isAccepted();
    }
    static QMimeData* files(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        data->setText(urls.first().toString());
        return data;
    }

    test::TempDir dropped;
};

TEST_F(DropTest, FoldersAndFilesDroppedOnAnySingleLineBoxFollowTheWindowsRule) {
    form->menu().advancedSettings->trigger();
    form->show();
    dropped.write(QStringLiteral("urls.txt"), "http://127.0.0.1/dropped\n");
    const QString folder = dropped.path();
    const std::pair<const char*, int> boxes[] = {
        {"Edit1", TAppForm::UrlListPage},       {"Edit6", TAppForm::UrlListPage},
        {"ComboBox1", TAppForm::UrlListPage},   {"SpinEdit1", TAppForm::UrlListPage},
        {"Edit3", TAppForm::ProxyListPage},     {"Edit4", TAppForm::ProxyListPage},
        {"SpinEdit3", TAppForm::ProxyListPage},
    };
    for (const auto& [name, page] : boxes) {
        form->pages()->setCurrentIndex(page);
        auto* control = form->findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(control, nullptr) << name;
        QWidget* target = control->findChild<QLineEdit*>() ? control->findChild<QLineEdit*>() : control;
        auto* box = qobject_cast<QLineEdit*>(target);
        ASSERT_NE(box, nullptr) << name;
        const QString text = box->text();
        form->folderRow()->folderBox()->setText(QStringLiteral("/elsewhere/"));
        form->urlEditor()->setLines({});

        const std::unique_ptr<QMimeData> both(files({folder, dropped.file(QStringLiteral("urls.txt"))}));
        EXPECT_TRUE(dropOn(box, both.get())) << name;
        if (box != form->folderRow()->folderBox()) {
            EXPECT_EQ(box->text(), text) << name;
        }
        EXPECT_EQ(form->folderRow()->folderBox()->text(), folder + QLatin1Char('/')) << name;
        EXPECT_EQ(form->urlEditor()->lines(), QStringList({"http://127.0.0.1/dropped"})) << name;
    }
    // Plain text without a file still goes into the box.
    QMimeData text;
    text.setText(QStringLiteral("typed-by-drop"));
    QLineEdit* extension = form->findChild<QLineEdit*>(QStringLiteral("Edit6"));
    extension->clear();
    EXPECT_TRUE(dropOn(extension, &text));
    EXPECT_EQ(extension->text(), QStringLiteral("typed-by-drop"));
}

} // namespace
} // namespace hl
