#include "platform/standardfolders.h"
#include "support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(StandardFolders, TrailingSeparatorIsAddedOnce) {
    EXPECT_EQ(WithTrailingSeparator(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
    EXPECT_EQ(WithTrailingSeparator(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
    EXPECT_EQ(WithTrailingSeparator(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(WithTrailingSeparator(QString()), QStringLiteral("/"));
}

TEST(StandardFolders, ExecutableFolderIsWhereThisTestRuns) {
    EXPECT_EQ(ExecutableFolder(),
              QDir(QStringLiteral(HARVESTLINE_BINARY_DIR "/tests")).canonicalPath() + QLatin1Char('/'));
}

TEST(StandardFolders, ConfigAndDesktopFollowTheUsersXdgSettings) {
    test::TempDir config;
    config.write(QStringLiteral("user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    EXPECT_EQ(UserConfigFolder(), config.path() + QLatin1Char('/'));
    EXPECT_EQ(DesktopFolder(), QDir::homePath() + QStringLiteral("/Schreibtisch/"));
    if (wasSet)
        qputenv("XDG_CONFIG_HOME", saved);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace hl
