#include "engine/downloader.h"

#include "engine/errormessage.h"
#include "engine/ftpdownload.h"
#include "engine/httpdownload.h"
#include "engine/statustexts.h"
#include "engine/urldownload.h"
#include "engine/urlrewriting.h"
#include "engine/workerpool.h"

namespace hl {

TDownloader::TDownloader(DownloadWindow& window, RunState& state, EngineEnvironment environment,
                         UrlProcedures procedures)
    : window_(window), state_(state), environment_(std::move(environment)),
      procedures_(std::move(procedures)) {}

void TDownloader::DownloadNow() {
    state_.StartTick = environment_.clock->tickCount();
    try {
        int count = 0;
        // The run takes its settings and the proxy list's turn in one step, as it starts.
        window_.Synchronize([&] {
            settings_ = window_.CurrentRunSettings();
            count = window_.LineCount();
            state_.Proxies.prepare(window_.ProxyLineCount(), settings_.proxyType);
            window_.RunStarted(settings_);
        });
        state_.Counters.Reset(count);
        if (count > 0) {
            if (!settings_.multiThreaded)
                runSequential();
            else if (settings_.classicEngine)
                runClassicPool(settings_.multiThreads, count);
            else
                runTasks(settings_.multiThreads, count);
        }
    } catch (const std::exception& error) {
        // The run ends as every run does; the front end reports what ended it.
        window_.Synchronize([&] { window_.ShowRunError(ErrorMessage(error)); });
    } catch (...) {
        window_.Synchronize([&] { window_.ShowRunError(QStringLiteral("Unknown error.")); });
    }
    IslemTamam();
}

std::optional<QString> TDownloader::readLine(int64_t index) {
    std::optional<QString> line;
    window_.Synchronize([&] {
        if (index < window_.LineCount()) line = window_.Line(static_cast<int>(index));
    });
    return line;
}

void TDownloader::runSequential() {
    int count = 0;
    window_.Synchronize([&] { count = window_.LineCount(); });
    state_.LineCount = count;
    // The list is read again before every line: lines added or removed during the run count.
    for (int64_t i = 0; !state_.StopRequested.requested(); ++i) {
        const std::optional<QString> line = readLine(i);
        if (!line) break;
        state_.LineNumber = static_cast<int>(i + 1);
        DownloadURL(FixURLScheme(*line), false);

        qint64 pause = 0;
        window_.Synchronize([&] {
            pause = window_.SchedulerPauseMs();
            const std::optional<QString> next =
                i + 1 < window_.LineCount() ? window_.Line(static_cast<int>(i + 1)) : std::nullopt;
            if (pause <= 0 || state_.StopRequested.requested() || !next || next->trimmed().isEmpty())
                pause = 0;
            else
                window_.ShowSchedulerWait(SchedulerWaitStatus());
        });
        if (pause > 0) PumpingDelay(pause);
    }
}

void TDownloader::downloadLineInParallel(int64_t index) {
    const std::optional<QString> line = readLine(index);
    if (line) DownloadURL(FixURLScheme(*line), true);
}

void TDownloader::runClassicPool(int workers, int64_t count) {
    WorkerPool pool(environment_.workerLimits);
    if (workers > 0) {
        pool.SetMinWorkers(environment_.workerLimits.DefaultMinWorkers);
        pool.SetMaxWorkers(workers);
    }
    pool.ParallelFor(
        count, [this](int64_t i) { downloadLineInParallel(i); },
        [this] { return state_.StopRequested.requested(); });
}

void TDownloader::runTasks(int tasks, int64_t count) {
    if (tasks < 1) tasks = 8 * environment_.workerLimits.DefaultMinWorkers;
    ParallelForEach(
        count, tasks, [this](int64_t i) { downloadLineInParallel(i); },
        [this] { return state_.StopRequested.requested(); });
}

void TDownloader::DownloadURL(const QString& url, bool multithreaded) {
    if (url.toLower().startsWith(QStringLiteral("ftp://")))
        DownloadFtpFile(url, multithreaded);
    else
        DownloadHttpFile(url, multithreaded);
}

void TDownloader::DownloadHttpFile(const QString& url, bool multithreaded) {
    if (procedures_.http) return procedures_.http(url, multithreaded);
    UrlDownload(window_, state_, environment_, url, multithreaded, std::make_unique<HttpDownload>()).Run();
}

void TDownloader::DownloadFtpFile(const QString& url, bool multithreaded) {
    if (procedures_.ftp) return procedures_.ftp(url, multithreaded);
    UrlDownload(window_, state_, environment_, url, multithreaded, std::make_unique<FtpDownload>()).Run();
}

void TDownloader::PumpingDelay(qint64 ms) {
    if (environment_.pumpingDelay)
        environment_.pumpingDelay(ms);
    else
        state_.StopRequested.waitFor(ms);
}

void TDownloader::IslemTamam() {
    const quint32 elapsed = environment_.clock->tickCount() - state_.StartTick.load();
    window_.Synchronize([&] { window_.RunCompleted(ElapsedStatus(elapsed)); });
}

RunThread::RunThread(DownloadWindow& window, RunState& state, EngineEnvironment environment)
    : downloader_(window, state, std::move(environment)), thread_([this] { downloader_.DownloadNow(); }) {}

RunThread::~RunThread() {
    Wait();
}

void RunThread::Wait() {
    if (thread_.joinable()) thread_.join();
}

} // namespace hl
