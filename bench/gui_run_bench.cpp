// A parallel run of many small files from a local nginx, started from the main window as a user
// starts it, with a 1 ms timer probing the GUI thread's event loop: reports the longest gap
// between two probe ticks (how long the window was unresponsive at worst) and the run's files per
// second, then times harvestline-cli on the same list for comparison.
//   harvestline-bench-gui [FILES] [THREADS] [FILE_BYTES] [TAB]  (defaults: 2000 16 4096 0)
// TAB is the tab shown during the run (0 the URL list, 2 the Download Log, which then paints every
// line as it comes).
#include "settings/settingsstore.h"
#include "support/cliprocess.h"
#include "support/nginxserver.h"
#include "ui/actionrow.h"
#include "ui/appform.h"
#include "ui/folderrow.h"
#include "ui/logtab.h"
#include "ui/runcontroller.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"
#include "windowbench.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int threads = argc > 2 ? std::atoi(argv[2]) : 16;
    const int bytes = argc > 3 ? std::atoi(argv[3]) : 4096;
    const int tab = argc > 4 ? std::atoi(argv[4]) : 0;

    hl::test::NginxServer nginx;
    if (!nginx.started()) {
        std::fprintf(stderr, "nginx did not start: %s\n", qPrintable(nginx.log()));
        return 1;
    }
    QStringList urls;
    for (int i = 0; i < files; ++i)
        urls << nginx.put(QStringLiteral("f%1.bin").arg(i), QByteArray(bytes, 'b'));

    hl::test::TempDir settings, output, cliOutput;
    hl::TAppForm form(bench::BenchEnvironment(settings.path(), output.path()));
    form.show();
    form.pages()->setCurrentIndex(tab);
    form.urlEditor()->setLines(urls);
    form.menu().multiThreading->setChecked(true);
    form.settingsStore().WriteNumber(hl::SettingKey::MultiThreads, threads);
    QApplication::processEvents();

    bench::EventLoopProbe probe;
    QEventLoop finished;
    QObject::connect(form.runController(), &hl::RunController::runFinished, &finished, &QEventLoop::quit);
    QElapsedTimer run;
    probe.start();
    run.start();
    form.actionRow()->runButton()->click();
    finished.exec();
    const double seconds = double(run.nsecsElapsed()) / 1e9;
    probe.stop();

    const int downloaded = form.downloadLog()->view()->lineCount();
    const int errors = form.errorLog()->view()->lineCount();
    std::printf("window: %d files of %d bytes, %d threads: %.2f s, %.0f files/s, %d downloaded, %d errors\n",
                files, bytes, threads, seconds, files / seconds, downloaded, errors);
    std::printf("window: event-loop gaps over %lld probe ticks: worst %.2f ms wall-clock (99th percentile "
                "%.2f ms), worst %.2f ms of GUI-thread CPU time; load average %.2f on %d processors\n",
                qlonglong(probe.ticks()), probe.wallGapMs(1.0), probe.wallGapMs(0.99), probe.worstCpuGapMs(),
                bench::loadAverage(), QThread::idealThreadCount());

    cliOutput.write(QStringLiteral("list.txt"), urls.join(QLatin1Char('\n')).toUtf8());
    QElapsedTimer cli;
    cli.start();
    const hl::test::CliResult result = hl::test::runCli(
        {QStringLiteral("-i"), cliOutput.file(QStringLiteral("list.txt")), QStringLiteral("-d"),
         cliOutput.file(QStringLiteral("out")), QStringLiteral("-j"), QString::number(threads)},
        {}, {}, 600000);
    const double cliSeconds = double(cli.nsecsElapsed()) / 1e9;
    std::printf("harvestline-cli -j %d: %.2f s, %.0f files/s, exit code %d\n", threads, cliSeconds,
                files / cliSeconds, result.exitCode);
    return downloaded == files && errors == 0 && result.exitCode == 0 ? 0 : 1;
}
