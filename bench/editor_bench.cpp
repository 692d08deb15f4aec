// Measures the window's text editor at 100,000 lines: what appending a log line costs at the
// start and at the end of a long log, and how long loading, reading, cleaning and scrolling a
// long URL list take. Runs on any Qt platform (bench/run.sh uses offscreen).
#include "ui/texteditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <vector>

namespace {

constexpr int kLines = 100000;
constexpr int kBatch = 1000;

QString logLine(int i) {
    return QStringLiteral("(DOWNLOADED) URL: http://127.0.0.1:8080/files/%1.bin REDIRECTED: "
                          "https://mirror.localhost/files/%1.bin")
        .arg(i);
}

double ms(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// This thread's CPU time: unlike the wall clock it does not count time the system gave to others.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Appends kLines lines to a visible log view, letting it paint after every batch as the window
// does between queued calls; reports the cost of a batch at the start and at the end.
void benchAppend() {
    hl::TextEditor log;
    log.makeLogView();
    log.resize(800, 500);
    log.show();
    QApplication::processEvents();
    std::vector<double> batches;
    double worstAppend = 0;
    double worstAppendCpu = 0;
    for (int start = 0; start < kLines; start += kBatch) {
        QElapsedTimer batch;
        batch.start();
        for (int i = start; i < start + kBatch; ++i) {
            QElapsedTimer one;
            one.start();
            const double cpuBefore = threadCpuMs();
            log.appendLine(logLine(i));
            worstAppend = std::max(worstAppend, ms(one));
            worstAppendCpu = std::max(worstAppendCpu, threadCpuMs() - cpuBefore);
        }
        log.viewport()->repaint();
        QApplication::processEvents();
        batches.push_back(ms(batch));
    }
    const auto average = [](auto first, auto last) {
        return std::accumulate(first, last, 0.0) / double(last - first);
    };
    std::printf("log append: first 10 batches %.2f ms per %d lines, last 10 batches %.2f ms per %d lines, "
                "worst single append %.3f ms wall-clock, %.3f ms of this thread's CPU time\n",
                average(batches.begin(), batches.begin() + 10), kBatch,
                average(batches.end() - 10, batches.end()), kBatch, worstAppend, worstAppendCpu);
}

void benchUrlList() {
    QStringList urls;
    for (int i = 0; i < kLines; ++i)
        urls << QStringLiteral("https://127.0.0.1/files/%1/file-%1.zip").arg(i);
    hl::TextEditor editor;
    editor.resize(800, 500);
    editor.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    editor.setLines(urls);
    editor.viewport()->repaint();
    std::printf("url list: load %d lines %.1f ms\n", kLines, ms(timer));

    timer.restart();
    const QStringList read = editor.lines();
    std::printf("url list: read all lines %.1f ms (%lld lines)\n", ms(timer), qlonglong(read.size()));

    timer.restart();
    for (int i = 0; i < kLines; i += 97)
        (void)editor.line(i);
    std::printf("url list: one line by index %.4f ms\n", ms(timer) / (kLines / 97));

    timer.restart();
    editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum());
    editor.viewport()->repaint();
    std::printf("url list: scroll to the end and paint %.1f ms\n", ms(timer));

    timer.restart();
    editor.moveCursor(QTextCursor::End);
    editor.insertPlainText(QStringLiteral("x"));
    editor.viewport()->repaint();
    std::printf("url list: type one character at the end and paint %.2f ms\n", ms(timer));

    editor.setPlainText(urls.join(QStringLiteral("\n\n")));
    timer.restart();
    editor.deleteBlankLines();
    std::printf("url list: delete %d blank lines %.1f ms\n", kLines - 1, ms(timer));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    benchAppend();
    benchUrlList();
    return 0;
}
