// The URL Grabber window collecting a long page, as a user starts it, with a 1 ms timer probing the
// GUI thread's event loop: reports the time from START to the closing report, the links appended,
// and the longest gaps between two probe ticks (how long the window was unresponsive at worst)
// while the crawl probed, fetched, scanned and appended.
//   harvestline-bench-grabber-window [LINKS]  (default: 200000, a page of about 20 MB)
#include "support/scriptedsite.h"
#include "support/tempdir.h"
#include "syntheticpage.h"
#include "ui/appform.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"
#include "ui/urlgrabberform.h"
#include "windowbench.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int links = argc > 1 ? std::atoi(argv[1]) : 200000;
    hl::test::ScriptedSite site;
    const QByteArray page = bench::SyntheticLinkPage(links);
    site.put("/catalogue/index.html", page);

    hl::test::TempDir settings, output;
    hl::TAppForm form(bench::BenchEnvironment(settings.path(), output.path()));
    form.show();
    form.urlEditor()->setLines({});
    form.menu().urlGrabber->trigger();
    auto* grabber = form.findChild<hl::TFormURLGrabber*>();
    grabber->urlBox()->setText(site.url("/catalogue/index.html"));
    QApplication::processEvents();

    bench::EventLoopProbe probe;
    QEventLoop finished;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &finished, [&] {
        if (!grabber->crawling()) finished.quit();
    });
    QElapsedTimer crawl;
    probe.start();
    crawl.start();
    grabber->startButton()->click();
    poll.start(10);
    finished.exec();
    const double seconds = double(crawl.nsecsElapsed()) / 1e9;
    probe.stop();

    const int appended = form.urlEditor()->lineCount();
    std::printf(
        "grabber window: a page of %.1f MB with %d links: %.2f s from START to \"%s\", %d lines in the "
        "list\n",
        double(page.size()) / 1e6, links, seconds, qPrintable(form.statusPanels()->panelText(0)), appended);
    std::printf(
        "grabber window: event-loop gaps over %lld probe ticks: worst %.2f ms wall-clock (99th "
        "percentile %.2f ms), worst %.2f ms of GUI-thread CPU time; load average %.2f on %d processors\n",
        qlonglong(probe.ticks()), probe.wallGapMs(1.0), probe.wallGapMs(0.99), probe.worstCpuGapMs(),
        bench::loadAverage(), QThread::idealThreadCount());
    return appended == links ? 0 : 1;
}
