#include "platform/filecontents.h"
#include "settings/settingsstore.h"
#include "support/tempdir.h"

#include <QDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace hl {
namespace {

QString folderOf(const test::TempDir& dir) {
    return dir.path() + QLatin1Char('/');
}

TEST(SettingsStore, EveryWriteRewritesTheWholeFile) {
    test::TempDir dir;
    SettingsStore store(folderOf(dir));
    EXPECT_FALSE(dir.exists(QStringLiteral("settings.ini"))); // opening writes nothing

    store.WriteText(SettingKey::SaveLocation, QStringLiteral("/home/u/Desktop/"));
    EXPECT_EQ(dir.read(QStringLiteral("settings.ini")),
              QByteArray("\xEF\xBB\xBF[Settings]\r\nSaveLocation=/home/u/Desktop/\r\n\r\n"));

    store.WriteSwitch(SettingKey::Overwrite, true);
    store.WriteNumber(SettingKey::ConnectionTimeout, 5000);
    store.WriteProxyType(ProxyType::Socks4A);
    store.Write({{SettingKey::MultiThreaded, SwitchText(true)},
                 {SettingKey::MultiThreads, QStringLiteral("8")},
                 {SettingKey::ClassicMultiThreads, SwitchText(false)}});
    store.WriteText(SettingKey::SaveLocation, QStringLiteral("/d\u00E9p\u00F4t/"));
    EXPECT_EQ(
        dir.read(QStringLiteral("settings.ini")),
        QByteArray("\xEF\xBB\xBF[Settings]\r\nSaveLocation=/d\xC3\xA9p\xC3\xB4t/\r\nOverwrite=ON\r\n"
                   "ConnectionTimeout=5000\r\nProxyType=SOCKS4A\r\nMultiThreaded=ON\r\nMultiThreads=8\r\n"
                   "ClassicMultiThreads=OFF\r\n\r\n"));
}

TEST(SettingsStore, FileRoundTripsByteForByte) {
    test::TempDir dir;
    const QByteArray file(
        "\xEF\xBB\xBF[Settings]\r\nUserAgent=Agent/1.0 (\xC3\xA9t\xC3\xA9)\r\nOverwrite=on\r\n"
        "Unknown=kept\r\n\r\n[Other]\r\nA=1\r\n\r\n");
    dir.write(QStringLiteral("settings.ini"), file);
    SettingsStore store(folderOf(dir));
    EXPECT_EQ(store.Snapshot().Text(SettingKey::UserAgent), QStringLiteral("Agent/1.0 (\u00E9t\u00E9)"));
    store.Save();
    EXPECT_EQ(dir.read(QStringLiteral("settings.ini")), file);
}

TEST(SettingsStore, HandWrittenFileIsReadAndRewrittenInOurFormat) {
    test::TempDir dir;
    dir.write(QStringLiteral("settings.ini"),
              "; by hand\n[settings]\nshowerrors = OFF\nConnectionTimeout=0x10\n");
    SettingsStore store(folderOf(dir));
    EXPECT_FALSE(store.Snapshot().Switch(SettingKey::ShowErrors));
    EXPECT_EQ(store.Snapshot().Number(SettingKey::ConnectionTimeout), 16);
    store.WriteSwitch(SettingKey::ShowErrors, true);
    EXPECT_EQ(dir.read(QStringLiteral("settings.ini")),
              QByteArray("\xEF\xBB\xBF[settings]\r\nshowerrors=ON\r\nConnectionTimeout=0x10\r\n\r\n"));
}

TEST(SettingsStore, UnloadableFileIsDeletedAndEveryOptionTakesItsDefault) {
    const QByteArray broken[] = {
        "\xEF\xBB\xBF[Settings]\r\nOverwrite=ON\r\nSaveLocation=/caf\xE9/\r\n", // not UTF-8
        QByteArray("\xFF\xFE[\0S\0]\0", 8),                                     // UTF-16
    };
    for (const QByteArray& bytes : broken) {
        test::TempDir dir;
        dir.write(QStringLiteral("settings.ini"), bytes);
        SettingsStore store(folderOf(dir));
        EXPECT_FALSE(dir.exists(QStringLiteral("settings.ini")));
        EXPECT_TRUE(store.Snapshot().Image().IsEmpty());
        EXPECT_FALSE(store.Snapshot().Switch(SettingKey::Overwrite));
    }
}

TEST(SettingsStore, FailedSaveNamesTheFileAndTheImageKeepsTheChange) {
    test::TempDir dir;
    const QString folder = dir.file(QStringLiteral("gone")) + QLatin1Char('/');
    SettingsStore store(folder);
    try {
        store.WriteSwitch(SettingKey::Overwrite, true);
        FAIL() << "the save should fail";
    } catch (const EFileError& e) {
        EXPECT_TRUE(e.message().contains(folder + QStringLiteral("settings.ini"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("No such file or directory"))) << e.what();
    }
    EXPECT_TRUE(store.Snapshot().Switch(SettingKey::Overwrite));

    // Once the folder is back, the next save carries the earlier change too.
    ASSERT_TRUE(QDir().mkpath(folder));
    store.WriteSwitch(SettingKey::FullURL, true);
    EXPECT_EQ(dir.read(QStringLiteral("gone/settings.ini")),
              QByteArray("\xEF\xBB\xBF[Settings]\r\nOverwrite=ON\r\nFullURL=ON\r\n\r\n"));
}

// The run reads "MultiThreads" on a worker while the window thread keeps writing other keys.
TEST(SettingsStore, ReadsFromAWorkerDoNotRaceWithWrites) {
    test::TempDir dir;
    SettingsStore store(folderOf(dir));
    store.WriteNumber(SettingKey::MultiThreads, 12);
    std::atomic<bool> done{false};
    std::atomic<int> wrongReads{0};
    std::thread worker([&] {
        while (!done) {
            if (store.Snapshot().Number(SettingKey::MultiThreads) != 12) ++wrongReads;
        }
    });
    std::thread secondWriter([&] {
        for (int i = 0; i < 100; ++i)
            store.WriteSwitch(SettingKey::Overwrite, i % 2 == 0);
    });
    for (int i = 1; i <= 100; ++i)
        store.WriteNumber(SettingKey::ConnectionTimeout, i);
    secondWriter.join();
    done = true;
    worker.join();

    EXPECT_EQ(wrongReads, 0);
    // Saves never interleave or overtake each other: the file holds the final image.
    const Settings last = store.Snapshot();
    EXPECT_EQ(last.Number(SettingKey::ConnectionTimeout), 100);
    EXPECT_FALSE(last.Switch(SettingKey::Overwrite));
    EXPECT_EQ(dir.read(QStringLiteral("settings.ini")), last.Image().Serialize());
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("settings.ini")});
}

} // namespace
} // namespace hl
