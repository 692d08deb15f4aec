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

// The saves of one test, recorded in the order they ran. The first one handed over keeps the
// saver's thread until the test releases it, so that the saves after it have to wait.
struct Saves {
    QStringList written;
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();

    BackgroundSaver::Save holding(const char* name) {
        return [this, name, released = released] {
            started.set_value();
            released.wait();
            written << name;
        };
    }
    BackgroundSaver::Save writing(const char* name) {
        return [this, name] { written << name; };
    }
};

TEST(BackgroundSaver, AWaitingSaveIsReplacedByTheNewerSaveOfItsFile) {
    Reports reports;
    Saves saves;
    {
        BackgroundSaver saver(reports.report());
        saver.save(QStringLiteral("a"), saves.holding("a1"));
        saves.started.get_future().wait();
        saver.save(QStringLiteral("b"), saves.writing("b1"));
        saver.save(QStringLiteral("a"), saves.writing("a2"));
        saver.save(QStringLiteral("a"), saves.writing("a3"));
        saver.save(QStringLiteral("c"), [] { throw Exception(QStringLiteral("Cannot create file \"c\".")); });
        saves.release.set_value();
        saver.waitUntilDone();
        EXPECT_EQ(saves.written, QStringList({"a1", "b1", "a3"}));
        saver.save(QStringLiteral("b"), saves.writing("b2"));
    } // the destructor runs what still waits
    EXPECT_EQ(saves.written, QStringList({"a1", "b1", "a3", "b2"}));
    EXPECT_EQ(reports.lines, QStringList({"a:ok", "b:ok", "a:ok", "c:Cannot create file \"c\".", "b:ok"}));
}

TEST(BackgroundSaver, DiscardingDropsWaitingSavesAndWaitsForTheRunningOne) {
    Reports reports;
    Saves saves;
    BackgroundSaver saver(reports.report());
    saver.save(QStringLiteral("a"), saves.holding("a"));
    saver.save(QStringLiteral("b"), saves.writing("b"));
    saves.started.get_future().wait();
    auto discarded = std::async(std::launch::async, [&] { saver.discardWaiting(); });
    EXPECT_EQ(discarded.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    saves.release.set_value();
    discarded.wait();
    EXPECT_EQ(saves.written, QStringList({"a"}));
    saver.waitUntilDone();
    EXPECT_EQ(saves.written, QStringList({"a"}));
}

} // namespace
} // namespace hl
