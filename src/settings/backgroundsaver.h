#pragma once
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace hl {

// Writes files on a thread of its own, so that rewriting a long list never stalls the thread that
// asks for it. Saves run one at a time in the order they were handed over; while a save of a file
// waits, a newer save of the same file takes its place (it writes everything the older would have).
class BackgroundSaver {
public:
    // Runs on the saver's thread and throws hl::Exception (or any std::exception) on failure.
    using Save = std::function<void()>;
    // Called on the saver's thread after each save: nothing on success, else the error's message.
    using Report = std::function<void(const QString& file, const std::optional<QString>& error)>;

    explicit BackgroundSaver(Report report);
    // Runs every save still waiting, then ends the thread.
    ~BackgroundSaver();

    // Any thread. file names what save writes.
    void save(const QString& file, Save save);
    // Blocks until every save handed over has run and been reported.
    void waitUntilDone();
    // Drops the saves that wait and blocks until the one running (if any) has ended.
    void discardWaiting();

private:
    struct Job {
        QString file;
        Save save;
    };
    void run();

    Report report_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<Job> waiting_;
    bool running_ = false;
    bool ending_ = false;
    std::thread thread_;
};

} // namespace hl
