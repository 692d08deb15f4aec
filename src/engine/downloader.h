#pragma once
// A download run: walks the URL list one line after another, or hands its lines to one of the two
// parallel engines, sends each line to the HTTP or FTP procedure, and always ends with the
// completion (IslemTamam), also when an error escapes the run.
#include "engine/downloadwindow.h"
#include "engine/engineenvironment.h"
#include "engine/runstate.h"

#include <QString>
#include <functional>
#include <thread>

namespace hl {

class TDownloader {
public:
    // A per-URL procedure: (url, multithreaded). Tests replace the real ones to watch the run.
    using UrlProcedure = std::function<void(const QString& url, bool multithreaded)>;
    struct UrlProcedures {
        UrlProcedure http; // empty: DownloadHttpFile
        UrlProcedure ftp;  // empty: DownloadFtpFile
    };

    // window and state must outlive the downloader.
    TDownloader(DownloadWindow& window, RunState& state, EngineEnvironment environment,
                UrlProcedures procedures = {});

    // The run; blocks the calling thread (the run thread) until it has completed. Clears nothing:
    // the front end clears StopRequested when it starts a run.
    void DownloadNow();

    // ftp:// lines (any letter case) to the FTP procedure, everything else to the HTTP procedure.
    void DownloadURL(const QString& url, bool multithreaded);
    void DownloadHttpFile(const QString& url, bool multithreaded);
    void DownloadFtpFile(const QString& url, bool multithreaded);

    // Waits ms milliseconds, waking early on a stop request (or as the environment says).
    void PumpingDelay(qint64 ms);

private:
    void runSequential();
    void runClassicPool(int workers, int64_t count);
    void runTasks(int tasks, int64_t count);
    // One iteration of a parallel engine: line index as it stands now (a line that vanished is skipped).
    void downloadLineInParallel(int64_t index);
    std::optional<QString> readLine(int64_t index);
    void IslemTamam();

    DownloadWindow& window_;
    RunState& state_;
    const EngineEnvironment environment_;
    const UrlProcedures procedures_;
    RunSettings settings_; // of the run under way
};

// The run thread: runs TDownloader::DownloadNow on a thread of its own. The destructor waits for
// the run to end (request a stop first to make that quick). The front end must not destroy it
// from inside a window action of the same run (the run waits for those).
class RunThread {
public:
    RunThread(DownloadWindow& window, RunState& state, EngineEnvironment environment);
    ~RunThread();
    RunThread(const RunThread&) = delete;
    RunThread& operator=(const RunThread&) = delete;

    // Waits for the run to end.
    void Wait();

private:
    TDownloader downloader_;
    std::thread thread_;
};

} // namespace hl
