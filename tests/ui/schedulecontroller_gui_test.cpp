// The Scheduler as the user meets it: the File menu and toolbar entry, the dialog over the window,
// scheduled runs against a local server, the pause between URLs, and STOP.
#include "support/manualtimer.h"
#include "support/scriptedserver.h"
#include "support/scriptedsite.h"
#include "support/windowfixture.h"
#include "ui/actionrow.h"
#include "ui/folderrow.h"
#include "ui/formschedule.h"
#include "ui/logtab.h"
#include "ui/progressrow.h"
#include "ui/runcontroller.h"
#include "ui/schedulecontroller.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <atomic>
#include <chrono>
#include <mutex>

namespace hl {
namespace {

constexpr qint64 kMinute = 60000;

class ScheduleControllerTest : public test::WindowTest {
protected:
    ScheduleControllerTest() { restart(); }

    // A new window on the same settings, its scheduler's timer on the test's time unless
    // realTimer is set.
    void restart() {
        form.reset();
        WindowEnvironment environment = this->environment();
        if (!realTimer)
            environment.scheduleTimer = [this] {
                auto made = std::make_unique<test::ManualTimer>();
                timer = made.get();
                return made;
            };
        form = std::make_unique<TAppForm>(environment);
        form->folderRow()->folderBox()->setText(output.path());
        form->menu().showErrors->setChecked(false);
        form->show();
    }

    // Opens "Scheduler..." and lets use() work the dialog while it is shown modally; a dialog
    // still open afterwards is closed with its close button.
    void withDialog(const std::function<void(TScheduleForm&)>& use) {
        bool used = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto* dialog = form->findChild<TScheduleForm*>();
            if (!dialog) return;
            use(*dialog);
            used = true;
            if (dialog->isVisible()) dialog->close();
        });
        form->menu().scheduler->trigger();
        EXPECT_TRUE(used);
    }
    // Sets the dialog's controls and presses "OK".
    void arm(qint64 delaySeconds, bool startNow = false, bool periodic = false, bool delayEach = false) {
        withDialog([&](TScheduleForm& dialog) {
            dialog.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))
                ->setValue(static_cast<int>(delaySeconds));
            dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(startNow);
            dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox2"))->setChecked(periodic);
            dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox3"))->setChecked(delayEach);
            dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        });
    }
    static QPushButton* secondButton(TScheduleForm& dialog) {
        return dialog.findChild<QPushButton*>(QStringLiteral("Button2"));
    }

    const Schedule& schedule() { return form->scheduleController()->schedule(); }
    bool running() { return form->runController()->running(); }
    // The bound only keeps a run that never ends from hanging the suite: a stop that did not work
    // shows in what the run logged (the slow file ends on its own after ten seconds), or in the
    // run not ending at all (a pause between URLs lasts for years).
    bool waitForRunEnd() {
        return QTest::qWaitFor([&] { return !running(); }, 30000);
    }
    QStringList downloadLog() { return form->downloadLog()->view()->lines(); }
    QStringList errorLog() { return form->errorLog()->view()->lines(); }

    // Two files on the scripted site, listed in the URL editor.
    void listTwoFiles() {
        site.put("/a.bin", "aaaa");
        site.put("/b.bin", "bbbb");
        form->urlEditor()->setLines({site.url("/a.bin"), site.url("/b.bin")});
    }
    // A file that trickles for ten seconds or until the client goes, listed in the URL editor.
    void listASlowFile() { form->urlEditor()->setLines({slow.url(QStringLiteral("/slow.bin"))}); }

    test::TempDir output;
    test::ScriptedSite site;
    std::atomic<int> slowRequests{0};
    test::ScriptedServer slow{[this](test::ScriptedConnection& c) {
        const QByteArray head = c.readHead();
        if (head.isEmpty()) return;
        if (head.startsWith("HEAD"))
            return c.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n");
        ++slowRequests;
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        for (int i = 0; i < 400 && !c.waitForClientClose(25); ++i)
            c.send(QByteArray(10, 'x'));
    }};
    bool realTimer = false;
    test::ManualTimer* timer = nullptr;
};

TEST_F(ScheduleControllerTest, TheMenuEntryAndTheToolbarButtonOpenTheDialog) {
    EXPECT_TRUE(form->menu().scheduler->isEnabled());
    auto* button = form->findChild<QAction*>(QStringLiteral("ToolButtonScheduler"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    bool opened = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* dialog = form->findChild<TScheduleForm*>();
        opened = dialog && dialog->isModal() && dialog->isVisible();
        if (dialog) QTest::keyClick(dialog, Qt::Key_Escape);
    });
    button->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(form->findChild<TScheduleForm*>(), nullptr); // made on each opening
}

TEST_F(ScheduleControllerTest, OkWithNoBoxCheckedStartsOneRunOneDelayLaterAndDisarmsAfterIt) {
    listTwoFiles();
    arm(60);
    EXPECT_TRUE(schedule().ScheduleActive());
    EXPECT_EQ(timer->intervalMs(), kMinute);
    timer->advance(kMinute - 1);
    EXPECT_FALSE(running());
    timer->advance(1);
    EXPECT_TRUE(running());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(downloadLog(), QStringList({"(DOWNLOADED) URL: " + site.url("/a.bin"),
                                          "(DOWNLOADED) URL: " + site.url("/b.bin")}));
    EXPECT_FALSE(schedule().ScheduleActive());
    timer->advance(100 * kMinute);
    EXPECT_FALSE(running());
}

TEST_F(ScheduleControllerTest, StartNowRunsAtOnceAndPeriodicRunsAgainOneDelayAfterTheEnd) {
    listTwoFiles();
    for (bool periodic : {false, true}) {
        arm(60, true, periodic);
        EXPECT_TRUE(running()) << periodic;
        ASSERT_TRUE(waitForRunEnd());
        EXPECT_EQ(schedule().ScheduleActive(), periodic);
        EXPECT_EQ(timer->isActive(), periodic);
    }
    EXPECT_EQ(timer->intervalMs(), kMinute);
    timer->advance(kMinute);
    EXPECT_TRUE(running());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(downloadLog().size(), 6); // three runs of two URLs (the later ones skip)
    EXPECT_TRUE(timer->isActive());
}

TEST_F(ScheduleControllerTest, ATickDuringARunStartsNothingAndComesAgain) {
    listASlowFile();
    arm(10, false, true);
    form->actionRow()->runButton()->click(); // started by hand
    timer->advance(10000);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(form->actionRow()->runButton()->text(), QStringLiteral("STOP"));
    form->actionRow()->runButton()->click();
    ASSERT_TRUE(waitForRunEnd());
    timer->advance(10000);
    EXPECT_TRUE(running());
    form->actionRow()->runButton()->click();
    ASSERT_TRUE(waitForRunEnd());
}

TEST_F(ScheduleControllerTest, StopInTheReopenedDialogDisarmsTheScheduleAndStopsItsRun) {
    listASlowFile();
    arm(60, true, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slowRequests == 1; }, 10000));
    withDialog([&](TScheduleForm& dialog) {
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return secondButton(dialog)->text() == QStringLiteral("STOP"); }, 100));
        secondButton(dialog)->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(errorLog(),
              QStringList{"(ERROR) Download stopped URL: " + slow.url(QStringLiteral("/slow.bin"))});
    EXPECT_FALSE(schedule().ScheduleActive());
    EXPECT_FALSE(timer->isActive()); // the end of the stopped run armed nothing
}

TEST_F(ScheduleControllerTest, CancelOrEscapeStopsARunStartedByHand) {
    listASlowFile();
    for (bool escape : {false, true}) {
        form->actionRow()->runButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return slowRequests == (escape ? 2 : 1); }, 10000));
        withDialog([&](TScheduleForm& dialog) {
            EXPECT_EQ(secondButton(dialog)->text(), QStringLiteral("Cancel"));
            if (escape)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                secondButton(dialog)->click();
        });
        ASSERT_TRUE(waitForRunEnd()) << escape;
        EXPECT_EQ(errorLog().size(), escape ? 2 : 1);
    }
}

TEST_F(ScheduleControllerTest, TheOptionsComeBackOnEveryOpeningButNothingIsArmedAfterARestart) {
    arm(120, false, true, true);
    EXPECT_TRUE(schedule().ScheduleActive());
    restart();
    EXPECT_FALSE(schedule().ScheduleActive());
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(schedule().PauseBetweenUrlsMs(), 0);
    withDialog([&](TScheduleForm& dialog) {
        EXPECT_EQ(dialog.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->value(), 120);
        EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->isChecked());
        EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox2"))->isChecked());
        EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox3"))->isChecked());
        EXPECT_EQ(secondButton(dialog)->text(), QStringLiteral("Cancel"));
    });
}

// The run pauses the whole delay between two URLs (here the longest one, 999999999 seconds); STOP,
// or closing the window, ends the pause at once instead of leaving the window at "STOPPING...".
TEST_F(ScheduleControllerTest, DelayForEachUrlPausesBetweenUrlsAndStopEndsThePauseAtOnce) {
    listTwoFiles();
    form->menu().skipExistingFiles->setChecked(false);
    for (bool byClosing : {false, true}) {
        arm(999999999, true, false, true);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return form->statusPanels()->panelText(0) == QStringLiteral("Waiting due to Scheduler...");
            },
            10000));
        EXPECT_FALSE(form->progressRow()->isVisibleTo(form.get()));
        EXPECT_EQ(downloadLog().constLast(), "(DOWNLOADED) URL: " + site.url("/a.bin"));
        EXPECT_TRUE(running());
        if (byClosing)
            form->close();
        else
            form->actionRow()->runButton()->click();
        ASSERT_TRUE(waitForRunEnd()) << byClosing;
        EXPECT_EQ(site.count("GET", "/b.bin"), 0);
        EXPECT_FALSE(schedule().ScheduleActive());
        EXPECT_EQ(form->isVisible(), !byClosing);
    }
}

// Real time: a periodic schedule with a one-second delay runs three times, each run starting one
// delay after the previous one ended, until "STOP" in the dialog ends it.
TEST_F(ScheduleControllerTest, APeriodicScheduleRunsBackToBackOneDelayApartUntilStopped) {
    using Clock = std::chrono::steady_clock;
    realTimer = true;
    restart();
    // Each run asks for the server's name of the file once (HEAD); the first run also fetches it,
    // the later ones skip the existing file.
    std::mutex mutex;
    std::vector<Clock::time_point> starts, ends;
    test::ScriptedServer server([&](test::ScriptedConnection& c) {
        const QByteArray head = c.readHead();
        if (head.startsWith("HEAD")) {
            std::lock_guard lock(mutex);
            starts.push_back(Clock::now());
        }
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\n" +
               (head.startsWith("GET") ? QByteArray("aaaa") : QByteArray()));
    });
    QObject::connect(form->runController(), &RunController::runFinished, form.get(), [&] {
        std::lock_guard lock(mutex);
        ends.push_back(Clock::now());
    });
    form->urlEditor()->setLines({server.url(QStringLiteral("/a.bin"))});

    arm(1, true, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends.size() == 3; }, 15000));
    withDialog([&](TScheduleForm& dialog) { secondButton(dialog)->click(); });
    EXPECT_FALSE(schedule().ScheduleActive());
    QTest::qWait(1500);
    EXPECT_FALSE(running());
    std::lock_guard lock(mutex);
    ASSERT_EQ(starts.size(), 3u);
    ASSERT_EQ(ends.size(), 3u);
    for (int run = 1; run < 3; ++run) {
        const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(starts[run] - ends[run - 1]);
        EXPECT_GE(gap.count(), 990) << run;
        EXPECT_LE(gap.count(), 1700) << run;
    }
    EXPECT_EQ(downloadLog(), QStringList({"(DOWNLOADED) URL: " + server.url(QStringLiteral("/a.bin")),
                                          "(SKIPPED) URL: " + server.url(QStringLiteral("/a.bin")),
                                          "(SKIPPED) URL: " + server.url(QStringLiteral("/a.bin"))}));
}

} // namespace
} // namespace hl
