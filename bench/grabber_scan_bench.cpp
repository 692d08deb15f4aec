// Times the URL Grabber's scan of synthetic pages, on the page text as a fetch hands it over: the
// decoding of the fetched bytes, the scanner alone, the scanner with the link pipeline, and the
// whole scan with the duplicate test and the appends into an empty list (the scan time). Each is
// the median of several runs in the thread's CPU time (a shared machine's load would blur wall
// time), so two sizes show whether the time grows in line with the page.
//
//   harvestline-bench-grabber [LINKS...]  (default: 20000 200000, about 100 bytes of page per link)
#include "grabber/linkpipeline.h"
#include "grabber/urllistappender.h"
#include "platform/textencoding.h"
#include "settings/textlines.h"
#include "syntheticpage.h"
#include "threadcpu.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

const QString kPageUrl = QStringLiteral("http://127.0.0.1:8080/catalogue/index.html");

class ListOfLines final : public hl::UrlListAccess {
public:
    QStringList Lines() const override { return lines; }
    void AppendLines(const QStringList& links) override { lines += links; }
    QStringList lines;
};

class AppendingSink final : public hl::LinkSink {
public:
    explicit AppendingSink(hl::UrlListAppender* appender) : appender_(appender) {}
    void Found(const QString& link) override {
        ++found;
        if (!appender_) return;
        batch_.append(link);
        if (batch_.size() == 4096) flush();
    }
    void flush() {
        if (appender_) appender_->Ekle(batch_);
        batch_.clear();
    }
    qsizetype found = 0;

private:
    hl::UrlListAppender* appender_;
    QStringList batch_;
};

struct Times {
    double cpuMs;  // the thread's own CPU time: what the work costs, whatever else the machine runs
    double wallMs; // what a user waits
};

// The medians of `runs` calls.
Times median(int runs, const std::function<void()>& action) {
    std::vector<double> cpu, wall;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuStart = bench::threadCpuNs();
        action();
        cpu.push_back(double(bench::threadCpuNs() - cpuStart) / 1e6);
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    return {cpu[cpu.size() / 2], wall[wall.size() / 2]};
}

} // namespace

int main(int argc, char* argv[]) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {20000, 200000};
    constexpr int kRuns = 5;

    std::printf("CPU milliseconds of the calling thread (medians of %d runs); the scan's wall time last\n",
                kRuns);
    std::printf("%9s %8s %9s %8s %8s %9s %8s %9s %9s\n", "links", "page MB", "appended", "decode", "find",
                "pipeline", "scan", "scan MB/s", "scan wall");
    for (const int links : sizes) {
        const QByteArray bytes = bench::SyntheticLinkPage(links);
        QString page;
        const Times decode = median(
            kRuns, [&] { page = hl::TerminateLines(hl::DecodeTextFile(bytes).text, hl::LineBreak::CrLf); });
        // The scanner alone, then with the pipeline, then the whole scan into an empty list.
        const Times find = median(kRuns, [&] {
            qsizetype values = 0;
            hl::ScanLinkValues(page, [&](QStringView, hl::LinkValueKind) { return ++values > 0; });
        });
        const Times pipeline = median(kRuns, [&] {
            AppendingSink sink(nullptr);
            hl::CollectLinks(page, kPageUrl, {}, sink);
        });
        qsizetype appended = 0;
        const Times scan = median(kRuns, [&] {
            ListOfLines list;
            hl::UrlListAppender appender(list);
            AppendingSink sink(&appender);
            hl::CollectLinks(page, kPageUrl, {}, sink);
            sink.flush();
            appended = list.lines.size();
        });
        const double megabytes = double(bytes.size()) / 1e6;
        std::printf("%9d %8.1f %9lld %8.1f %8.1f %9.1f %8.1f %9.1f %9.1f\n", links, megabytes,
                    static_cast<long long>(appended), decode.cpuMs, find.cpuMs, pipeline.cpuMs, scan.cpuMs,
                    megabytes / (scan.cpuMs / 1000), scan.wallMs);
    }
    return 0;
}
