#include "support/urlrecorder.h"
#include "support/windowfixture.h"
#include "ui/actionrow.h"
#include "ui/advancedsettingspanel.h"
#include "ui/appform.h"
#include "ui/logtab.h"
#include "ui/progressrow.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
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

} // namespace
} // namespace hl
