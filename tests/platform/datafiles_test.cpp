#include "platform/datafiles.h"
#include "support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(DataFiles, TheExecutablesFolderComesBeforeTheInstalledDataFolder) {
    test::TempDir prefix;
    const QString bin = prefix.file(QStringLiteral("bin"));
    QDir().mkpath(bin);
    EXPECT_EQ(DataFolders(bin),
              QStringList({bin + QLatin1Char('/'), prefix.file(QStringLiteral("share/harvestline/"))}));
    EXPECT_EQ(FindDataFile(QStringLiteral("license.txt"), bin), QString());

    prefix.write(QStringLiteral("share/harvestline/license.txt"), "installed");
    EXPECT_EQ(FindDataFile(QStringLiteral("license.txt"), bin + QLatin1Char('/')),
              prefix.file(QStringLiteral("share/harvestline/license.txt")));

    prefix.write(QStringLiteral("bin/license.txt"), "beside");
    EXPECT_EQ(FindDataFile(QStringLiteral("license.txt"), bin),
              prefix.file(QStringLiteral("bin/license.txt")));
}

TEST(DataFiles, AFolderOfThatNameIsPassedOver) {
    test::TempDir prefix;
    QDir().mkpath(prefix.file(QStringLiteral("bin/license.txt")));
    prefix.write(QStringLiteral("share/harvestline/license.txt"), "installed");
    EXPECT_EQ(FindDataFile(QStringLiteral("license.txt"), prefix.file(QStringLiteral("bin"))),
              prefix.file(QStringLiteral("share/harvestline/license.txt")));
}

} // namespace
} // namespace hl
