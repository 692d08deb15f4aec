#include "settings/settingsfolder.h"
#include "support/tempdir.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(SettingsFolder, WritableExecutableFolderHoldsTheSettings) {
    test::TempDir exe;
    test::TempDir config;
    EXPECT_EQ(ChooseSettingsFolder(exe.path(), config.path()), exe.path() + QLatin1Char('/'));
    EXPECT_TRUE(exe.entries().isEmpty());
    EXPECT_TRUE(config.entries().isEmpty());
}

TEST(SettingsFolder, StrayProbeFileMovesTheSettingsToTheConfigFolder) {
    test::TempDir exe;
    test::TempDir config;
    exe.write(QStringLiteral("chk.tmp"), QByteArray());
    const QString chosen = ChooseSettingsFolder(exe.path(), config.path() + QStringLiteral("/missing/xdg"));
    EXPECT_EQ(chosen, config.path() + QStringLiteral("/missing/xdg/LUMBRIX/Harvestline/"));
    EXPECT_TRUE(QFileInfo(chosen).isDir());
    EXPECT_TRUE(exe.exists(QStringLiteral("chk.tmp")));
}

TEST(SettingsFolder, ReadOnlyExecutableFolderMovesTheSettingsToTheConfigFolder) {
    test::TempDir dir;
    const QString exe = dir.file(QStringLiteral("bin"));
    const QString config = dir.file(QStringLiteral("config"));
    ASSERT_TRUE(QDir().mkpath(exe) && QDir().mkpath(config));
    const auto open =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(dir.path(), open);
    QFile::setPermissions(exe, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(config, open | QFile::WriteOther);

    const QString expected = config + QStringLiteral("/LUMBRIX/Harvestline/");
    const test::HelperResult chosen = test::runUnprivileged({QStringLiteral("settings-folder"), exe, config});
    ASSERT_EQ(chosen.exitCode, 0);
    EXPECT_EQ(QString::fromLocal8Bit(chosen.output), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
}

TEST(SettingsFolder, ResetRemovesListAndSettingsButKeepsTheProxyList) {
    test::TempDir dir;
    for (const char* name : {"list.txt", "settings.ini", "proxylist.txt"})
        dir.write(QLatin1String(name), "x");
    RemoveStoredSettings(dir.path() + QLatin1Char('/'));
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("proxylist.txt")});
    RemoveStoredSettings(dir.path() + QLatin1Char('/')); // nothing left to delete: no error
}

} // namespace
} // namespace hl
