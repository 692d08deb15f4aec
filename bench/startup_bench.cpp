// Start-up of the main window with and without the update check, each run in a fresh process:
// the time from the start of main() to the window's first paint, the longest the GUI thread's
// event loop then stood still during the next 4 seconds (in which the check starts, runs and ends),
// and how long closing the window took.
//   harvestline-bench-startup [RUNS]   (default 7; prints the median and the worst of each mode)
// Modes: "off" (ShowUpdate 0: the check ends before any request, as without a check), "unknown"
// (the server's name does not resolve: the default server's quiet failure), "answer" (a loopback
// server names a newer version: the notice opens), "silent" (the server accepts nothing: the check
// waits for its 10 s time-out while the window is used).
#include "settings/userstore.h"
#include "support/blackholelistener.h"
#include "support/makerstandin.h"
#include "support/nonamesresolver.h"
#include "support/silentprompts.h"
#include "support/tempdir.h"
#include "ui/appform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Notes the time of the window's first paint.
class FirstPaint : public QObject {
public:
    FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}
    qint64 ms = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ms < 0) ms = clock_.elapsed();
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& clock_;
};

int runOnce(const QString& mode, const QElapsedTimer& clock, int argc, char* argv[]) {
    QApplication app(argc, argv);
    hl::test::TempDir settings;
    hl::test::MakerStandIn answering([](const QByteArray&) {
        return hl::test::updateAnswer({"<version>9.9</version>", "<url>https://x/</url>", "3", "4"});
    });
    hl::test::BlackholeListener silent;
    hl::WindowEnvironment environment;
    environment.settingsFolder = settings.path() + QLatin1Char('/');
    environment.desktopFolder = settings.path() + QLatin1Char('/');
    environment.prompts = std::make_shared<hl::test::SilentPrompts>();
    environment.openWithDesktop = [](const QString&) {};
    environment.makerServices.storePath = settings.file(QStringLiteral("user.ini"));
    environment.makerServices.server = {QStringLiteral("www.lumbrix.example"), hl::test::noNamesResolver()};
    if (mode == QLatin1String("off")) {
        hl::UserStore store(environment.makerServices.storePath);
        store.Open();
        store.WriteInteger(u"ShowUpdate", 0);
    } else if (mode == QLatin1String("answer")) {
        environment.makerServices.server = answering.server();
    } else if (mode == QLatin1String("silent")) {
        environment.makerServices.server.host = QStringLiteral("127.0.0.1:") + QString::number(silent.port());
    }

    FirstPaint firstPaint(clock);
    auto form = std::make_unique<hl::TAppForm>(environment);
    form->installEventFilter(&firstPaint);
    form->show();

    QElapsedTimer probe;
    qint64 last = 0;
    qint64 worstGap = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = probe.elapsed();
        worstGap = std::max(worstGap, now - last);
        last = now;
    });
    QTimer::singleShot(0, [&] {
        probe.start();
        tick.start(1);
    });
    QTimer::singleShot(4000, &app, &QApplication::quit);
    app.exec();
    QElapsedTimer closing;
    closing.start();
    form.reset();
    std::printf("%lld %lld %lld\n", static_cast<long long>(firstPaint.ms), static_cast<long long>(worstGap),
                static_cast<long long>(closing.elapsed()));
    std::fflush(stdout);
    return 0;
}

// "median / worst" of the samples.
QString spread(std::vector<qint64> samples) {
    std::sort(samples.begin(), samples.end());
    return QStringLiteral("%1 / %2 ms").arg(samples[samples.size() / 2], 4).arg(samples.back(), 4);
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer clock;
    clock.start();
    if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("--once"))
        return runOnce(QString::fromLocal8Bit(argv[2]), clock, argc, argv);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::printf("%-8s %-22s %-22s %s\n", "check", "shown (median/worst)", "longest stall", "close");
    for (const char* mode : {"off", "unknown", "answer", "silent"}) {
        std::vector<qint64> shown, gaps, closes;
        for (int run = 0; run < runs; ++run) {
            QProcess child;
            child.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--once"), QLatin1String(mode)});
            child.waitForFinished(60000);
            const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
            if (numbers.size() != 3) {
                std::fprintf(stderr, "%s: run failed: %s\n", mode, child.readAllStandardError().constData());
                return 1;
            }
            shown.push_back(numbers[0].toLongLong());
            gaps.push_back(numbers[1].toLongLong());
            closes.push_back(numbers[2].toLongLong());
        }
        std::printf("%-8s %-22s %-22s %s\n", mode, qPrintable(spread(shown)), qPrintable(spread(gaps)),
                    qPrintable(spread(closes)));
    }
    return 0;
}
