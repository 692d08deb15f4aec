#include "settings/settingsstore.h"
#include "support/loopbacksocket.h"
#include "support/nginxserver.h"
#include "support/scriptedserver.h"
#include "support/windowfixture.h"
#include "ui/actionrow.h"
#include "ui/advancedsettingspanel.h"
#include "ui/folderrow.h"
#include "ui/logtab.h"
#include "ui/progressrow.h"
#include "ui/proxylisttab.h"
#include "ui/runcontroller.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <atomic>

namespace hl {
namespace {

class RunControllerTest : public test::WindowTest {
protected:
    RunControllerTest() {
        folderBox()->setText(output.path());
        form->urlEditor()->setLines({});
    }

    QLineEdit* folderBox() { return form->folderRow()->folderBox(); }
    QPushButton* runButton() { return form->actionRow()->runButton(); }
    QString panel(int index) { return form->statusPanels()->panelText(index); }
    QStringList downloadLog() { return form->downloadLog()->view()->lines(); }
    QStringList errorLog() { return form->errorLog()->view()->lines(); }

    // Presses "DOWNLOAD ALL" and waits for the run to end.
    void runToCompletion() {
        QTest::mouseClick(runButton(), Qt::LeftButton);
        ASSERT_TRUE(form->runController()->running());
        ASSERT_TRUE(waitForRunEnd());
    }
    bool waitForRunEnd() {
        return QTest::qWaitFor([&] { return !form->runController()->running(); }, 30000);
    }
    void expectIdleAfterRun() {
        EXPECT_EQ(runButton()->text(), QStringLiteral("DOWNLOAD ALL"));
        EXPECT_TRUE(runButton()->isEnabled());
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^Elapsed Time: \\d+[.,]\\d{3} sec$"))
                        .match(panel(0))
                        .hasMatch())
            << panel(0).toStdString();
        EXPECT_FALSE(form->progressRow()->isVisibleTo(form.get()));
        EXPECT_EQ(form->progressRow()->position(), 0);
    }
    void enableMultiThreading(int threads) {
        form->menu().multiThreading->setChecked(true);
        form->settingsStore().WriteNumber(SettingKey::MultiThreads, threads);
    }

    test::TempDir output;
};

TEST_F(RunControllerTest, SequentialRunDownloadsEveryLineAndReturnsToIdle) {
    test::NginxServer nginx;
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    QStringList urls;
    for (int i = 0; i < 3; ++i)
        urls << nginx.put(QStringLiteral("file%1.bin").arg(i), QByteArray(4096 + i, 'x'));
    form->urlEditor()->setLines({urls[0], QStringLiteral("   "), urls[1], QString(), urls[2]});
    form->show();

    runToCompletion();
    expectIdleAfterRun();
    EXPECT_EQ(panel(1), QString());
    EXPECT_EQ(form->urlEditor()->lines(), urls); // blank lines went before the run
    EXPECT_EQ(folderBox()->text(), output.path() + QLatin1Char('/'));
    EXPECT_EQ(downloadLog(), QStringList({"(DOWNLOADED) URL: " + urls[0], "(DOWNLOADED) URL: " + urls[1],
                                          "(DOWNLOADED) URL: " + urls[2]}));
    EXPECT_EQ(errorLog(), QStringList());
    EXPECT_EQ(output.read(QStringLiteral("file2.bin")).size(), 4098);
    // The speed label is written again by the timer after the run.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return form->progressRow()->speedText().endsWith(QStringLiteral(" Mbps")); }));

    QTest::mouseClick(form->downloadLog()->copyUrlsButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), urls.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QTest::mouseClick(form->downloadLog()->clearButton(), Qt::LeftButton);
    EXPECT_TRUE(downloadLog().isEmpty());
}

TEST_F(RunControllerTest, ParallelRunShowsTheCountersAndTheSpeedInTheStatusBar) {
    test::NginxServer nginx;
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    std::atomic<bool> released{false};
    test::ScriptedServer slow([&](test::ScriptedConnection& connection) {
        const QByteArray head = connection.readHead();
        if (head.isEmpty()) return;
        if (head.startsWith("HEAD"))
            return connection.send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\n");
        while (!released)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nslow");
    });
    QStringList urls;
    for (int i = 0; i < 40; ++i)
        urls << nginx.put(QStringLiteral("p%1.bin").arg(i), QByteArray(2048, 'p'));
    urls << nginx.url(QStringLiteral("/missing.bin")) << slow.url(QStringLiteral("/last.bin"));
    form->urlEditor()->setLines(urls);
    form->menu().showErrors->setChecked(false);
    enableMultiThreading(8);
    form->show();

    QTest::mouseClick(runButton(), Qt::LeftButton);
    EXPECT_FALSE(form->progressRow()->isVisibleTo(form.get()));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return panel(0) == QStringLiteral("Downloading: 1 Error: 1 Finished: 40 Total: 42"); }, 20000))
        << panel(0).toStdString();
    EXPECT_TRUE(panel(1).endsWith(QStringLiteral(" Mbps"))) << panel(1).toStdString();
    released = true;
    ASSERT_TRUE(waitForRunEnd());
    expectIdleAfterRun();
    EXPECT_EQ(downloadLog().size(), 41);
    ASSERT_EQ(errorLog().size(), 1);
    EXPECT_TRUE(errorLog()[0].endsWith(QStringLiteral(" URL: ") + urls[40])) << errorLog()[0].toStdString();
    EXPECT_TRUE(prompts->messages.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel(1).endsWith(QStringLiteral(" Mbps")); }));
    EXPECT_EQ(form->progressRow()->speedText(), QString());
}

TEST_F(RunControllerTest, WorkerErrorsAreShownInABoxWhileTheWorkerWaits) {
    test::NginxServer nginx;
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QString missing = nginx.url(QStringLiteral("/nothing-here.zip"));
    form->urlEditor()->setLines({missing});
    runToCompletion();
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("ERROR"));
    EXPECT_TRUE(prompts->messages[0].text.startsWith(QStringLiteral("Download Error: ")));
    EXPECT_TRUE(prompts->messages[0].text.endsWith(QStringLiteral("\r\rURL: ") + missing));
    ASSERT_EQ(errorLog().size(), 1);
    EXPECT_TRUE(errorLog()[0].startsWith(QStringLiteral("(ERROR) ")));
}

TEST_F(RunControllerTest, StopDuringATransferEndsTheRunWithoutTheRemainingLines) {
    std::atomic<bool> released{false};
    test::ScriptedServer server([&](test::ScriptedConnection& connection) {
        if (connection.readHead().isEmpty()) return;
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: 2000\r\n\r\n" + QByteArray(500, 's'));
        while (!released)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (int sent = 500; sent < 2000 && !connection.waitForClientClose(20); sent += 100)
            connection.send(QByteArray(100, 's'));
    });
    form->advancedSettings()->serverProposedNameBox()->setChecked(false);
    const QString first = server.url(QStringLiteral("/slow.bin"));
    form->urlEditor()->setLines({first, server.url(QStringLiteral("/never.bin"))});
    form->show();

    QTest::mouseClick(runButton(), Qt::LeftButton);
    EXPECT_EQ(runButton()->text(), QStringLiteral("STOP"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->progressRow()->position() == 250; }, 10000));
    EXPECT_TRUE(form->progressRow()->isVisible());
    EXPECT_EQ(panel(0), QStringLiteral("(1 / 2) Downloading ") + first + QStringLiteral("..."));
    EXPECT_EQ(panel(1), QStringLiteral("slow.bin"));

    QTest::mouseClick(runButton(), Qt::LeftButton);
    EXPECT_EQ(runButton()->text(), QStringLiteral("STOPPING..."));
    EXPECT_FALSE(runButton()->isEnabled());
    released = true;
    ASSERT_TRUE(waitForRunEnd());
    expectIdleAfterRun();
    EXPECT_TRUE(downloadLog().isEmpty());
    EXPECT_EQ(errorLog(), QStringList({QStringLiteral("(ERROR) Download stopped URL: ") + first}));
    EXPECT_EQ(server.connectionCount(), 1);
    EXPECT_TRUE(prompts->messages.empty());
}

TEST_F(RunControllerTest, EachUrlTakesTheNextProxyLineAndItsErrorNamesIt) {
    const test::ClosedPort closed;
    const QString proxy = QStringLiteral("127.0.0.1:%1").arg(closed.port());
    form->proxyTab()->editor()->setPlainText(QStringLiteral("\n") + proxy + QStringLiteral("\n  \n"));
    form->menu().showErrors->setChecked(false);
    form->urlEditor()->setLines({QStringLiteral("http://127.0.0.1:9/a.bin")});
    runToCompletion();
    EXPECT_EQ(form->proxyTab()->editor()->lines(), QStringList({proxy}));
    ASSERT_EQ(errorLog().size(), 1) << errorLog().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(errorLog()[0].endsWith(QStringLiteral(" URL: http://127.0.0.1:9/a.bin Proxy: ") + proxy))
        << errorLog()[0].toStdString();
}

TEST_F(RunControllerTest, TheProxyTypeOfTheMenuDecidesHowTheLinesAreUsed) {
    // The "proxy" keeps the first bytes it gets and answers nothing.
    test::ScriptedServer proxy([](test::ScriptedConnection& c) { c.readExact(3); });
    form->proxyTab()->editor()->setPlainText(QStringLiteral("127.0.0.1:%1").arg(proxy.port()));
    form->menu().proxySocks5->trigger();
    form->menu().showErrors->setChecked(false);
    form->urlEditor()->setLines({QStringLiteral("http://files.test/a.bin")});
    runToCompletion();
    ASSERT_TRUE(proxy.waitForScripts(1));
    EXPECT_EQ(proxy.received().at(0), QByteArray("\x05\x01\x00", 3)); // a SOCKS 5 greeting
    ASSERT_EQ(errorLog().size(), 1);
    EXPECT_TRUE(errorLog()[0].startsWith(QStringLiteral("(ERROR) Socks server did not respond. URL: ")))
        << errorLog()[0].toStdString();
}

TEST_F(RunControllerTest, ARunIsRefusedForAnEmptyListOrAFolderThatCannotBeWritten) {
    form->urlEditor()->setPlainText(QStringLiteral(" \n\t\n"));
    QTest::mouseClick(runButton(), Qt::LeftButton);
    EXPECT_FALSE(form->runController()->running());
    EXPECT_TRUE(form->urlEditor()->toPlainText().isEmpty());
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("WARNING"));
    EXPECT_EQ(prompts->messages[0].text, QStringLiteral("URL list is empty!"));

    output.write(QStringLiteral("plain-file"), "not a folder");
    folderBox()->setText(output.file(QStringLiteral("plain-file/sub")));
    form->urlEditor()->setLines({QStringLiteral("http://127.0.0.1:9/a")});
    folderBox()->setFocus();
    QTest::keyClick(folderBox(), Qt::Key_Return); // the start button is the window's default button
    EXPECT_FALSE(form->runController()->running());
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].icon, MessageIcon::Warning);
    EXPECT_EQ(prompts->messages[1].text, QStringLiteral("Cannot write to folder: ") + folderBox()->text());
    EXPECT_EQ(folderBox()->text(), output.file(QStringLiteral("plain-file/sub/")));
    EXPECT_EQ(runButton()->text(), QStringLiteral("DOWNLOAD ALL"));
}

TEST_F(RunControllerTest, ATransferOfUnknownLengthRunsTheProgressBarAsAMarquee) {
    std::atomic<bool> released{false};
    test::ScriptedServer server([&](test::ScriptedConnection& connection) {
        if (connection.readHead().isEmpty()) return;
        connection.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n100\r\n" +
                        QByteArray(256, 'c') + "\r\n");
        while (!released)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        connection.send("0\r\n\r\n");
    });
    form->advancedSettings()->serverProposedNameBox()->setChecked(false);
    form->urlEditor()->setLines({server.url(QStringLiteral("/stream.bin"))});
    QTest::mouseClick(runButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->progressRow()->marquee(); }, 10000));
    released = true;
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_FALSE(form->progressRow()->marquee());
    EXPECT_EQ(downloadLog().size(), 1);
}

TEST_F(RunControllerTest, ClosingTheWindowDuringARunStopsItFirst) {
    std::atomic<bool> finishedServing{false};
    test::ScriptedServer server([&](test::ScriptedConnection& connection) {
        if (connection.readHead().isEmpty()) return;
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        for (int i = 0; i < 1000 && !connection.waitForClientClose(10); ++i)
            connection.send(QByteArray(100, 'c'));
        finishedServing = true;
    });
    form->advancedSettings()->serverProposedNameBox()->setChecked(false);
    form->urlEditor()->setLines({server.url(QStringLiteral("/a.bin")), server.url(QStringLiteral("/b.bin"))});
    form->show();
    QTest::mouseClick(runButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->progressRow()->position() > 0; }, 10000));
    EXPECT_FALSE(form->close());
    EXPECT_EQ(runButton()->text(), QStringLiteral("STOPPING..."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 20000));
    EXPECT_EQ(server.connectionCount(), 1);
    EXPECT_EQ(errorLog().size(), 1);
}

TEST_F(RunControllerTest, ResetToDefaultsDuringARunRestartsOnlyAfterTheRunHasEnded) {
    test::ScriptedServer server([&](test::ScriptedConnection& connection) {
        if (connection.readHead().isEmpty()) return;
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        for (int i = 0; i < 1000 && !connection.waitForClientClose(10); ++i)
            connection.send(QByteArray(100, 'c'));
    });
    bool runningAtRestart = true;
    form.reset();
    WindowEnvironment restarting = environment();
    restarting.restart = [&] {
        runningAtRestart = form->runController()->running();
        ++restarts;
    };
    form = std::make_unique<TAppForm>(restarting);
    folderBox()->setText(output.path());
    form->advancedSettings()->serverProposedNameBox()->setChecked(false);
    const QString first = server.url(QStringLiteral("/a.bin"));
    form->urlEditor()->setLines({first, server.url(QStringLiteral("/b.bin"))});
    form->show();
    QTest::mouseClick(runButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->progressRow()->position() > 0; }, 10000));

    prompts->confirmAnswers = {true, true};
    // A second reset asked for while the first waits for the run must not restart twice.
    QTimer::singleShot(0, form.get(), [&] { form->menu().resetToDefaults->trigger(); });
    form->menu().resetToDefaults->trigger();
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(prompts->questions.size(), 1u);
    EXPECT_FALSE(runningAtRestart);
    EXPECT_EQ(errorLog(), QStringList({QStringLiteral("(ERROR) Download stopped URL: ") + first}));
    EXPECT_EQ(server.connectionCount(), 1);
    EXPECT_FALSE(settings.exists(QStringLiteral("settings.ini")));
    EXPECT_FALSE(settings.exists(QStringLiteral("list.txt")));
}

} // namespace
} // namespace hl
