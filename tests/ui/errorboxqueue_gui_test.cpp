#include "settings/settingsstore.h"
#include "support/loopbacksocket.h"
#include "support/windowfixture.h"
#include "ui/actionrow.h"
#include "ui/errorboxqueue.h"
#include "ui/logtab.h"
#include "ui/runcontroller.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace hl {
namespace {

// Runs whose every URL fails at once (nothing listens on the port), with "Show Errors" on.
class ErrorBoxTest : public test::WindowTest {
protected:
    ErrorBoxTest() { prompts->holdOpenMessages = true; }

    void failingParallelRun(int urls, int threads) {
        QStringList list;
        for (int i = 0; i < urls; ++i)
            list << QStringLiteral("http://127.0.0.1:%1/file%2.bin").arg(deadPort).arg(i);
        form->urlEditor()->setLines(list);
        form->menu().multiThreading->setChecked(true);
        form->settingsStore().WriteNumber(SettingKey::MultiThreads, threads);
        form->show();
        QTest::mouseClick(runButton(), Qt::LeftButton);
        ASSERT_TRUE(form->runController()->running());
    }
    QPushButton* runButton() { return form->actionRow()->runButton(); }
    QStringList errorLog() { return form->errorLog()->view()->lines(); }
    bool waitForRunEnd() {
        return QTest::qWaitFor([&] { return !form->runController()->running(); }, 30000);
    }
    // The URL a box or an Error Log line names: what follows its last "URL: ".
    static QString urlOf(const QString& text) {
        return text.mid(text.lastIndexOf(QStringLiteral("URL: ")) + 5);
    }

    const test::ClosedPort dead;
    const quint16 deadPort = dead.port();
};

TEST_F(ErrorBoxTest, BoxesOpenOneAtATimeInTheOrderTheErrorsCame) {
    failingParallelRun(12, 4);
    // Every worker has failed and waits for its box; only the first box is open.
    ASSERT_TRUE(QTest::qWaitFor([&] { return errorLog().size() == 4; }, 20000)) << errorLog().size();
    QTest::qWait(50);
    EXPECT_EQ(prompts->messages.size(), 1u);

    for (std::size_t closed = 1; closed <= 6; ++closed) {
        ASSERT_TRUE(prompts->closeOldestMessage());
        ASSERT_TRUE(QTest::qWaitFor([&] { return prompts->messages.size() == closed + 1; }, 20000)) << closed;
    }
    EXPECT_EQ(prompts->mostOpenAtOnce, 1);
    const QStringList log = errorLog();
    for (std::size_t i = 0; i < prompts->messages.size(); ++i) {
        EXPECT_EQ(prompts->messages[i].caption, QStringLiteral("ERROR"));
        EXPECT_TRUE(prompts->messages[i].text.startsWith(QStringLiteral("Download Error: ")));
        EXPECT_EQ(urlOf(prompts->messages[i].text), urlOf(log[int(i)])) << i;
    }
    prompts->holdOpenMessages = false;
    while (prompts->closeOldestMessage()) {
    }
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(errorLog().size(), 12);
    EXPECT_EQ(prompts->messages.size(), 12u);
}

TEST_F(ErrorBoxTest, EveryWayOfStoppingDropsTheWaitingBoxesAndEndsTheRun) {
    const struct {
        const char* way;
        std::function<void(TAppForm*)> stop;
    } ways[] = {
        {"STOP", [](TAppForm* f) { QTest::mouseClick(f->actionRow()->runButton(), Qt::LeftButton); }},
        {"Esc", [](TAppForm* f) { QTest::keyClick(f, Qt::Key_Escape); }},
        {"closing the window", [](TAppForm* f) { f->close(); }},
    };
    for (const auto& way : ways) {
        reopen();
        prompts->messages.clear();
        prompts->openMessages.clear();
        failingParallelRun(40, 4);
        ASSERT_TRUE(QTest::qWaitFor([&] { return errorLog().size() == 4; }, 20000)) << way.way;
        way.stop(form.get());
        ASSERT_TRUE(waitForRunEnd()) << way.way;
        // The box on screen stays to be read; the three behind it never open.
        EXPECT_EQ(prompts->messages.size(), 1u) << way.way;
        EXPECT_EQ(prompts->openMessages.size(), 1u) << way.way;
        EXPECT_LT(errorLog().size(), 40) << way.way;
        EXPECT_TRUE(prompts->closeOldestMessage()) << way.way;
        QTest::qWait(20);
        EXPECT_EQ(prompts->messages.size(), 1u) << way.way;
    }
}

TEST_F(ErrorBoxTest, AStopReleasesEveryHeldWorkerButKeepsTheBoxOfARunsOwnError) {
    ErrorBoxQueue queue(*prompts, nullptr);
    const std::shared_ptr<BoxRelease> shown = queue.addWorkerBox(QStringLiteral("first"));
    const std::shared_ptr<BoxRelease> waiting = queue.addWorkerBox(QStringLiteral("second"));
    queue.addRunBox(QStringLiteral("why the run ended"));
    queue.dropWorkerBoxes();
    // Both workers go on at once: a wait that was not released would hang here.
    shown->wait();
    waiting->wait();
    ASSERT_TRUE(prompts->closeOldestMessage());
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompts->messages.size() == 2; }));
    EXPECT_EQ(prompts->messages[1].text, QStringLiteral("why the run ended"));
}

// The real boxes: no box is modal, so STOP stays within reach while one is open, and a URL that
// looks like markup is shown as written.
TEST_F(ErrorBoxTest, TheRealBoxLeavesStopUsableAndShowsItsTextAsWritten) {
    form.reset();
    WindowEnvironment real = environment();
    real.prompts = nullptr;
    form = std::make_unique<TAppForm>(real);
    const QString url = QStringLiteral("http://127.0.0.1:%1/<b>bold</b>.zip").arg(deadPort);
    form->urlEditor()->setLines({url, url + QStringLiteral("?2"), url + QStringLiteral("?3")});
    form->show();
    // A box that held the event loop (a modal one) would hold this test too: it is closed after a
    // while, so that the test fails instead of hanging.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    watchdog.start(15000);
    QTest::mouseClick(runButton(), Qt::LeftButton);

    QMessageBox* box = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<QMessageBox*>(window); found && found->isVisible())
                    box = found;
            return box != nullptr;
        },
        20000));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_TRUE(box->text().endsWith(QStringLiteral("\n\nURL: ") + url)) << box->text().toStdString();

    QTest::mouseClick(runButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(errorLog().size(), 1);
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
}

} // namespace
} // namespace hl
