#include "platform/exception.h"
#include "settings/backgroundsaver.h"
#include "support/qtprinters.h"

#include <QStringList>
#include <future>
#include <gtest/gtest.h>
#include <mutex>

namespace hl {
namespace {

// Records what the saver reports, from its thread.
struct Reports {
    std::mutex mutex;
    QStringList lines;
    BackgroundSaver::Report report() {
        return [this](const QString& file, const std::optional<QString>& error) {
            const std::lock_guard lock(mutex);
            lines << file + QLatin1Char(':') + error.value_or(QStringLiteral("ok"));
        };
    }
};

TEST(BackgroundSaver, AWaitingSaveIsReplacedByTheNewerSaveOfItsFile) {
    Reports reports;
    QStringList written;
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    {
        BackgroundSaver saver(reports.report());
        // The first save holds the thread, so that the others have to wait behind it.
        saver.save(QStringLiteral("a"), [&, released] {
            started.set_value();
            released.wait();
            written << "a1";
        });
        started.get_future().wait();
        saver.save(QStringLiteral("b"), [&] { written << "b1"; });
        saver.save(QStringLiteral("a"), [&] { written << "a2"; });
        saver.save(QStringLiteral("a"), [&] { written << "a3"; });
        saver.save(QStringLiteral("c"), [] { throw Exception(QStringLiteral("Cannot create file \"c\".")); });
        release.set_value();
        saver.waitUntilDone();
        EXPECT_EQ(written, QStringList({"a1", "b1", "a3"}));
        saver.save(QStringLiteral("b"), [&] { written << "b2"; });
    } // the destructor runs what still waits
    EXPECT_EQ(written, QStringList({"a1", "b1", "a3", "b2"}));
    EXPECT_EQ(reports.lines, QStringList({"a:ok", "b:ok", "a:ok", "c:Cannot create file \"c\".", "b:ok"}));
}

TEST(BackgroundSaver, DiscardingDropsWaitingSavesAndWaitsForTheRunningOne) {
    Reports reports;
    QStringList written;
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    BackgroundSaver saver(reports.report());
    saver.save(QStringLiteral("a"), [&, released] {
        started.set_value();
        released.wait();
        written << "a";
    });
    saver.save(QStringLiteral("b"), [&] { written << "b"; });
    started.get_future().wait();
    auto discarded = std::async(std::launch::async, [&] { saver.discardWaiting(); });
    EXPECT_EQ(discarded.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    release.set_value();
    discarded.wait();
    EXPECT_EQ(written, QStringList({"a"}));
    saver.waitUntilDone();
    EXPECT_EQ(written, QStringList({"a"}));
}

} // namespace
} // namespace hl
