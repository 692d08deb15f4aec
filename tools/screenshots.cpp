// Saves pictures of the main window and its dialogs, one PNG per state, into the folder given as
// the only argument: each tab, the advanced rows shown, a sequential and a parallel run in progress
// (against servers on loopback), the logs after a run, the URL Grabber idle and crawling, the
// Multi-Threading dialog, the Scheduler dialog idle and armed, the update notice (a loopback
// stand-in of the maker's server names a newer version), the about box with its rain running and
// the feedback window.
// scripts/screenshots.sh runs it under Xvfb.
#include "services/versioninfo.h"
#include "settings/settingsstore.h"
#include "support/makerstandin.h"
#include "support/nginxserver.h"
#include "support/scriptedserver.h"
#include "support/silentprompts.h"
#include "support/tempdir.h"
#include "ui/aboutbox.h"
#include "ui/actionrow.h"
#include "ui/advancedsettingspanel.h"
#include "ui/appform.h"
#include "ui/feedbackform.h"
#include "ui/folderrow.h"
#include "ui/formschedule.h"
#include "ui/multithreadform.h"
#include "ui/newversion.h"
#include "ui/opinionpanel.h"
#include "ui/progressrow.h"
#include "ui/proxylisttab.h"
#include "ui/runcontroller.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"
#include "ui/urlgrabberform.h"
#include "ui/userprompts.h"
#include "ui/updatechecker.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <functional>

namespace {

QString statusOf(QWidget* widget) {
    auto* form = qobject_cast<hl::TAppForm*>(widget);
    return form ? form->statusPanels()->panelText(0) : QString();
}

class Camera {
public:
    explicit Camera(QString folder) : folder_(std::move(folder)) {}

    // Takes the picture once ready() holds (a state that a run reaches on its own), or fails.
    void shootWhen(QWidget* widget, const QString& name, const std::function<bool()>& ready) {
        if (!QTest::qWaitFor(ready, 30000)) {
            std::printf("FAILED %s: the state did not come (status: %s)\n", qPrintable(name),
                        qPrintable(statusOf(widget)));
            ok_ = false;
            return;
        }
        save(widget, name, 20);
    }

    void shoot(QWidget* widget, const QString& name) {
        // Let layouts, timers and the style's animations settle.
        save(widget, name, 150);
    }

    bool ok() const { return ok_; }

private:
    void save(QWidget* widget, const QString& name, int settleMs) {
        QTest::qWait(settleMs);
        const QString path = folder_ + QLatin1Char('/') + name + QStringLiteral(".png");
        const bool saved = widget->grab().save(path);
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
        ok_ = ok_ && saved;
    }

    QString folder_;
    bool ok_ = true;
};

// Serves every GET slowly (64 KiB in small steps), so that a picture catches a transfer half-way.
void serveSlowly(hl::test::ScriptedConnection& connection, std::atomic<bool>& stopping) {
    const QByteArray head = connection.readHead();
    if (head.isEmpty()) return;
    const int size = 64 * 1024;
    const bool headOnly = head.startsWith("HEAD");
    connection.send("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(size) +
                    (headOnly ? "\r\nConnection: close\r\n\r\n" : "\r\n\r\n"));
    if (headOnly) return;
    for (int sent = 0; sent < size && !stopping && !connection.waitForClientClose(25); sent += 1024)
        connection.send(QByteArray(1024, 'x'));
}

QStringList slowUrls(const hl::test::ScriptedServer& server, const QString& folder, int count) {
    const char* names[] = {
        "debian-12-netinst-%1.iso.torrent", "annual-report-%1.pdf", "dataset-part-%1.zip",
        "podcast-episode-%1.mp3",           "wallpaper-%1.jpg",     "release-notes-%1.txt"};
    QStringList urls;
    for (int i = 0; i < count; ++i)
        urls << server.url(QStringLiteral("/%1/").arg(folder) +
                           QString::fromLatin1(names[i % 6]).arg(100 + i));
    return urls;
}

// Opens File > "Scheduler..." and hands the modal dialog to use, which must close it.
void withSchedulerDialog(hl::TAppForm& form, const std::function<void(hl::TScheduleForm&)>& use) {
    QTimer::singleShot(0, &form, [&] {
        if (auto* dialog = form.findChild<hl::TScheduleForm*>()) use(*dialog);
    });
    form.menu().scheduler->trigger();
}

void waitForRunEnd(hl::TAppForm& form) {
    if (!form.runController()->running()) return;
    QEventLoop loop;
    QObject::connect(form.runController(), &hl::RunController::runFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Harvestline"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    Camera camera(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));

    hl::test::TempDir settings, home;
    QDir(home.path()).mkpath(QStringLiteral("Downloads"));
    hl::test::MakerStandIn maker([](const QByteArray&) {
        return hl::test::updateAnswer({QStringLiteral("<version>1.4</version>"),
                                       QStringLiteral("<url>https://www.lumbrix.example/download/</url>"),
                                       QStringLiteral("<size>4.1 MB</size>"),
                                       QStringLiteral("<date>2024-05-17</date>")});
    });
    hl::WindowEnvironment environment;
    environment.settingsFolder = settings.path() + QLatin1Char('/');
    environment.desktopFolder = home.file(QStringLiteral("Downloads/"));
    environment.prompts = std::make_shared<hl::test::SilentPrompts>();
    environment.makerServices.server = maker.server();
    environment.makerServices.storePath = settings.file(QStringLiteral("user.ini"));
    environment.openWithDesktop = [](const QString&) {};
    hl::TAppForm form(environment);
    // The notice stays until its picture is taken.
    form.updateChecker()->setNoticeTimings({1, 100, 1000, 600});
    form.show();
    form.activateWindow();
    camera.shoot(&form, QStringLiteral("main-url-list"));

    const auto noticeShown = [&] {
        const hl::TNewVer* notice = form.updateChecker()->notice();
        return notice && notice->isVisible() && notice->mask().isEmpty();
    };
    // shootWhen below reports a notice that never came.
    static_cast<void>(QTest::qWaitFor(noticeShown, 30000));
    hl::TNewVer* notice = form.updateChecker()->notice();
    camera.shootWhen(notice ? static_cast<QWidget*>(notice) : &form, QStringLiteral("update-notice"),
                     noticeShown);
    if (notice) notice->close();

    form.proxyTab()->editor()->setLines({QStringLiteral("127.0.0.1:3128"),
                                         QStringLiteral("127.0.0.1:1080:alice:s3cret"),
                                         QStringLiteral("10.0.0.5:8080")});
    form.pages()->setCurrentIndex(hl::TAppForm::ProxyListPage);
    camera.shoot(&form, QStringLiteral("main-proxy-list"));
    form.proxyTab()->editor()->setLines({});

    form.pages()->setCurrentIndex(hl::TAppForm::UrlListPage);
    form.menu().advancedSettings->trigger();
    camera.shoot(&form, QStringLiteral("main-advanced"));
    form.menu().advancedSettings->trigger();

    std::atomic<bool> stopping{false};
    hl::test::ScriptedServer slow([&](hl::test::ScriptedConnection& c) { serveSlowly(c, stopping); });
    form.urlEditor()->setLines(slowUrls(slow, QStringLiteral("files"), 6));
    form.actionRow()->runButton()->click();
    camera.shootWhen(&form, QStringLiteral("main-run-sequential"), [&] {
        return form.statusPanels()->panelText(0).startsWith(QStringLiteral("(2 / 6)")) &&
               form.progressRow()->position() > 450 && form.progressRow()->position() < 900 &&
               !form.progressRow()->speedText().isEmpty();
    });
    form.actionRow()->runButton()->click();
    waitForRunEnd(form);

    form.menu().multiThreading->setChecked(true);
    form.settingsStore().WriteNumber(hl::SettingKey::MultiThreads, 4);
    form.urlEditor()->setLines(slowUrls(slow, QStringLiteral("mirror"), 24));
    form.actionRow()->runButton()->click();
    camera.shootWhen(&form, QStringLiteral("main-run-parallel"), [&] {
        static const QRegularExpression busy(
            QStringLiteral("^Downloading: 4 Error: 0 Finished: ([4-9]|1[0-9]) "));
        return busy.match(form.statusPanels()->panelText(0)).hasMatch();
    });
    stopping = true;
    form.actionRow()->runButton()->click();
    waitForRunEnd(form);
    form.menu().multiThreading->setChecked(false);

    hl::test::NginxServer nginx;
    QStringList urls;
    for (const char* name : {"readme.txt", "setup-2.4.1.exe", "photos/beach.jpg", "photos/harbour.jpg",
                             "docs/manual.pdf", "music/track01.ogg", "music/track02.ogg", "archive.tar.gz"})
        urls << nginx.put(QLatin1String(name), QByteArray(20000, 'n'));
    urls.insert(3, nginx.url(QStringLiteral("/photos/missing.jpg")));
    urls << QStringLiteral("http://127.0.0.1:9/offline/file.bin");
    form.menu().showErrors->setChecked(false);
    form.urlEditor()->setLines(urls);
    form.actionRow()->runButton()->click();
    waitForRunEnd(form);
    form.pages()->setCurrentIndex(hl::TAppForm::DownloadLogPage);
    camera.shoot(&form, QStringLiteral("main-download-log"));
    form.pages()->setCurrentIndex(hl::TAppForm::ErrorLogPage);
    camera.shoot(&form, QStringLiteral("main-error-log"));
    form.pages()->setCurrentIndex(hl::TAppForm::UrlListPage);
    camera.shoot(&form, QStringLiteral("main-after-run"));

    form.menu().urlGrabber->trigger();
    auto* grabber = form.findChild<hl::TFormURLGrabber*>();
    grabber->activateWindow();
    camera.shoot(grabber, QStringLiteral("url-grabber"));
    grabber->urlBox()->setText(slow.url(QStringLiteral("/catalogue/index.html")));
    grabber->filterBox()->setText(QStringLiteral(".zip"));
    grabber->domainButton()->setChecked(true);
    stopping = false;
    grabber->startButton()->click();
    camera.shootWhen(grabber, QStringLiteral("url-grabber-crawling"), [&] {
        return grabber->statusBar()->currentMessage().startsWith(QStringLiteral("Loading: "));
    });
    stopping = true;
    grabber->close();

    hl::TFormMultiThread dialog(2, 4, {12, false}, &form);
    dialog.show();
    camera.shoot(&dialog, QStringLiteral("multithreading"));
    dialog.hide();

    // The Scheduler dialog opens modally from the File menu: idle, then armed with "STOP" showing.
    withSchedulerDialog(form, [&](hl::TScheduleForm& scheduler) {
        scheduler.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(3600);
        scheduler.findChild<QCheckBox*>(QStringLiteral("CheckBox2"))->setChecked(true);
        camera.shoot(&scheduler, QStringLiteral("scheduler"));
        scheduler.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    });
    withSchedulerDialog(form, [&](hl::TScheduleForm& scheduler) {
        camera.shootWhen(&scheduler, QStringLiteral("scheduler-armed"), [&] {
            return scheduler.findChild<QPushButton*>(QStringLiteral("Button2"))->text() ==
                   QStringLiteral("STOP");
        });
        scheduler.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    });

    hl::test::SilentPrompts quiet;
    // The about box names the real server rather than the stand-in above.
    hl::TAboutBox about(
        {hl::CurrentProgramIdentity(), {hl::MakerHost(), nullptr}, &quiet, [](const QString&) {}, QString()},
        &form);
    about.show();
    QTest::qWait(2500); // let the rain fill the margins
    camera.shoot(&about, QStringLiteral("about"));
    about.close();

    hl::TFeedbackForm feedback(hl::CurrentProgramIdentity(), maker.server(), quiet, &form);
    feedback.likePanel()->setSelected(true);
    feedback.messageBox()->setPlainText(
        QStringLiteral("The resume after a dropped connection saved my night. "
                       "Could the Error Log group failures by host?"));
    feedback.addressBox()->setText(QStringLiteral("ann@example.org"));
    feedback.show();
    camera.shoot(&feedback, QStringLiteral("feedback"));
    return camera.ok() ? 0 : 1;
}
