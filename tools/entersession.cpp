// Presses Enter in every control of the main window with real X input (xdotool, through the XTest
// extension) and reports, control by control, whether the press started a download run, against
// what the window promises: only the single-line boxes, the check boxes and "DOWNLOAD ALL" itself
// start one. Each control gets the focus the way a user gives it: by a click (push buttons that a
// click would run are focused without one). The list holds one URL on a loopback port where
// nothing listens, so a run that starts ends at once. Exit status 0 when every control behaved.
// scripts/enter-key-session.sh runs it under Xvfb.
#include "support/loopbacksocket.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "support/urlrecorder.h"
#include "ui/appform.h"
#include "ui/proxylisttab.h"
#include "ui/runcontroller.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

namespace {

// Counts the Return presses that reach the program from the window system, so that each step
// knows its key has been handled before it looks at the outcome.
class ReturnCounter : public QObject {
public:
    int presses = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && event->spontaneous() && watched->isWidgetType() &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return && watched == QApplication::focusWidget())
            ++presses;
        return QObject::eventFilter(watched, event);
    }
};

bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool clickAt(const QPoint& global) {
    return xdotool({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y()),
                    QStringLiteral("click"), QStringLiteral("1")});
}

struct Control {
    const char* name;
    int page;
    bool click;      // false: focused without a click (a click would run the button's command)
    bool startsARun; // what Enter must do there
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "needs an X server (QT_QPA_PLATFORM=xcb), not %s\n",
                     qPrintable(QGuiApplication::platformName()));
        return 2;
    }
    hl::test::TempDir settings, desktop;
    hl::test::UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    auto prompts = std::make_shared<hl::test::ScriptedPrompts>();
    hl::WindowEnvironment environment;
    environment.settingsFolder = settings.path() + QLatin1Char('/');
    environment.desktopFolder = desktop.path() + QLatin1Char('/');
    environment.prompts = prompts;
    environment.restart = [] {};
    hl::TAppForm form(environment);
    form.menu().advancedSettings->trigger();
    form.menu().showErrors->setChecked(false);
    form.findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(QStringLiteral("127.0.0.1"));
    const hl::test::ClosedPort closed;
    const QString url = QStringLiteral("http://127.0.0.1:%1/enter.bin").arg(closed.port());
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form, 10000)) {
        std::fprintf(stderr, "the window did not become active\n");
        return 2;
    }
    int runs = 0;
    QObject::connect(form.runController(), &hl::RunController::runFinished, [&] { ++runs; });
    ReturnCounter returns;
    app.installEventFilter(&returns);

    using hl::TAppForm;
    const Control controls[] = {
        {"Memo1", TAppForm::UrlListPage, true, false},
        {"ComboBox1", TAppForm::UrlListPage, true, true},
        {"CheckBox1", TAppForm::UrlListPage, true, true},
        {"CheckBox2", TAppForm::UrlListPage, true, true},
        {"CheckBox3", TAppForm::UrlListPage, true, true},
        {"Edit6", TAppForm::UrlListPage, true, true},
        {"SpinEdit1", TAppForm::UrlListPage, true, true},
        {"SpinEdit2", TAppForm::UrlListPage, true, true},
        {"Edit1", TAppForm::UrlListPage, true, true},
        {"BitBtn2", TAppForm::UrlListPage, true, false},
        {"BitBtn4", TAppForm::UrlListPage, true, false},
        {"BitBtn1", TAppForm::UrlListPage, false, true},
        {"Edit3", TAppForm::ProxyListPage, true, true},
        {"SpinEdit3", TAppForm::ProxyListPage, true, true},
        {"Edit4", TAppForm::ProxyListPage, true, true},
        {"Edit5", TAppForm::ProxyListPage, true, true},
        {"Button6", TAppForm::ProxyListPage, true, false},
        {"SynEditProxy", TAppForm::ProxyListPage, true, false},
        {"Button1", TAppForm::DownloadLogPage, true, false},
        {"Button2", TAppForm::DownloadLogPage, true, false},
        {"SynEditDownload", TAppForm::DownloadLogPage, true, false},
        {"Button8", TAppForm::ErrorLogPage, true, false},
        {"Button10", TAppForm::ErrorLogPage, true, false},
        {"SynEditLog", TAppForm::ErrorLogPage, true, false},
        {"PageControl1", TAppForm::UrlListPage, false, false},
    };
    int failures = 0;
    for (const Control& control : controls) {
        form.urlEditor()->setLines({url});
        form.proxyTab()->editor()->setLines({});
        form.pages()->setCurrentIndex(control.page);
        auto* widget = form.findChild<QWidget*>(QLatin1String(control.name));
        if (auto* pages = qobject_cast<QTabWidget*>(widget)) widget = pages->tabBar();
        // Editable boxes take the click on their text, away from any arrows.
        const QPoint inside(std::min(widget->width() / 2, 12), widget->height() / 2);
        QTest::qWait(50);
        const bool clicked = control.click ? clickAt(widget->mapToGlobal(inside)) : true;
        if (!control.click) widget->setFocus(Qt::OtherFocusReason);
        const bool focused = QTest::qWaitFor(
            [&] {
                QWidget* focus = QApplication::focusWidget();
                return focus &&
                       (focus == widget || widget->isAncestorOf(focus) || focus->focusProxy() == widget);
            },
            5000);
        const int returnsBefore = returns.presses;
        const int runsBefore = runs;
        const bool pressed = xdotool({QStringLiteral("key"), QStringLiteral("Return")}) &&
                             QTest::qWaitFor([&] { return returns.presses > returnsBefore; }, 5000);
        // A run started by the press ends by itself; wait for it before judging.
        QTest::qWait(100);
        const bool ended = QTest::qWaitFor([&] { return !form.runController()->running(); }, 20000);
        const bool started = runs > runsBefore;
        const bool ok = clicked && focused && pressed && ended && started == control.startsARun;
        failures += ok ? 0 : 1;
        std::printf("%-16s Enter %-22s expected %-22s %s%s\n", control.name,
                    started ? "started a run" : "started nothing",
                    control.startsARun ? "to start a run" : "to start nothing", ok ? "ok" : "FAILED",
                    !focused   ? " (no focus)"
                    : !pressed ? " (key not received)"
                               : "");
        std::fflush(stdout);
    }
    std::printf("%d of %d controls behaved as expected\n", int(std::size(controls)) - failures,
                int(std::size(controls)));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    return failures == 0 ? 0 : 1;
}
