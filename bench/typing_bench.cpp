// Typing into a very long URL list in the main window: a 1 ms timer probes the GUI thread's event
// loop while keystrokes arrive one after another in the middle of the list, and for a while after
// the last one (so that a deferred save of list.txt is measured too). Reports the longest gap
// between two probe ticks, then closes the window and checks that list.txt holds what was typed.
//   harvestline-bench-typing [LINES] [CHARACTERS] [INTERVAL_MS]  (defaults: 1000000 100 30)
#include "settings/listfiles.h"
#include "support/tempdir.h"
#include "ui/appform.h"
#include "ui/texteditor.h"
#include "windowbench.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTextBlock>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int lineCount = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int characters = argc > 2 ? std::atoi(argv[2]) : 100;
    const int intervalMs = argc > 3 ? std::atoi(argv[3]) : 30;

    QStringList lines;
    lines.reserve(lineCount);
    for (int i = 0; i < lineCount; ++i)
        lines << QStringLiteral("https://127.0.0.1/files/%1/file-%1.zip").arg(i);

    hl::test::TempDir settings, desktop;
    auto form = std::make_unique<hl::TAppForm>(bench::BenchEnvironment(settings.path(), desktop.path()));
    form->show();
    hl::TextEditor* editor = form->urlEditor();
    editor->setLines(lines);
    // Whatever the load left to do (a deferred save) is done before the probe starts.
    QTest::qWait(1500);

    const int middle = lineCount / 2;
    QTextCursor cursor(editor->document()->findBlockByNumber(middle));
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor->setTextCursor(cursor);
    editor->setFocus();
    QApplication::processEvents();

    bench::EventLoopProbe probe;
    int typed = 0;
    QTimer typist;
    typist.setTimerType(Qt::PreciseTimer);
    QObject::connect(&typist, &QTimer::timeout, [&] {
        // Posted, as the window system delivers them: each keystroke is one turn of the event loop.
        QCoreApplication::postEvent(editor, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
        QCoreApplication::postEvent(editor,
                                    new QKeyEvent(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, "x"));
        if (++typed == characters) typist.stop();
    });
    probe.start();
    typist.start(intervalMs);
    const bool allTyped = QTest::qWaitFor([&] { return typed == characters; }, 3600000);
    QTest::qWait(1000);
    probe.stop();
    if (!allTyped)
        std::printf("typing: only %d of %d characters were typed within an hour\n", typed, characters);

    std::printf("typing: %d characters, one every %d ms, into line %d of %d: event-loop gaps over %lld "
                "probe ticks: worst %.2f ms wall-clock (99th percentile %.2f ms), worst %.2f ms of "
                "GUI-thread CPU time; load average %.2f on %d processors\n",
                characters, intervalMs, middle + 1, lineCount, qlonglong(probe.ticks()), probe.wallGapMs(1.0),
                probe.wallGapMs(0.99), probe.worstCpuGapMs(), bench::loadAverage(),
                QThread::idealThreadCount());

    const QString expected = lines[middle] + QString(typed, QLatin1Char('x'));
    form.reset();
    const QStringList saved = hl::LoadUrlList(settings.file(QStringLiteral("list.txt")));
    const bool kept = saved.size() == lineCount && saved[middle] == expected;
    std::printf("typing: list.txt after closing the window %s\n",
                kept ? "holds every typed character" : "LOST what was typed");
    return kept && allTyped ? 0 : 1;
}
