#include "settings/backgroundsaver.h"

#include "platform/exception.h"

#include <algorithm>
#include <exception>

namespace hl {
namespace {

std::optional<QString> runSave(const BackgroundSaver::Save& save) {
    try {
        save();
        return std::nullopt;
    } catch (const Exception& error) {
        return error.message();
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    }
}

} // namespace

BackgroundSaver::BackgroundSaver(Report report) : report_(std::move(report)), thread_([this] { run(); }) {}

BackgroundSaver::~BackgroundSaver() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void BackgroundSaver::save(const QString& file, Save save) {
    {
        const std::lock_guard lock(mutex_);
        const auto same =
            std::find_if(waiting_.begin(), waiting_.end(), [&](const Job& job) { return job.file == file; });
        if (same != waiting_.end())
            same->save = std::move(save);
        else
            waiting_.push_back({file, std::move(save)});
    }
    wake_.notify_one();
}

void BackgroundSaver::waitUntilDone() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return waiting_.empty() && !running_; });
}

void BackgroundSaver::discardWaiting() {
    std::unique_lock lock(mutex_);
    waiting_.clear();
    done_.wait(lock, [this] { return !running_; });
}

void BackgroundSaver::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
        if (waiting_.empty()) return;
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        running_ = true;
        lock.unlock();
        const std::optional<QString> error = runSave(job.save);
        report_(job.file, error);
        // The job's snapshot is freed here, outside the lock.
        job = {};
        lock.lock();
        running_ = false;
        done_.notify_all();
    }
}

} // namespace hl
