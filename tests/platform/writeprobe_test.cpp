#include "platform/writeprobe.h"
#include "support/tempdir.h"
#include "support/unprivileged.h"

#include <QFile>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(WriteProbe, WritableFolderPassesAndKeepsNoProbeFile) {
    test::TempDir dir;
    EXPECT_TRUE(CanWriteToFolder(dir.path()));
    EXPECT_TRUE(CanWriteToFolder(dir.path() + QLatin1Char('/')));
    EXPECT_TRUE(dir.entries().isEmpty());
}

TEST(WriteProbe, StrayProbeFileFailsAndIsLeftAlone) {
    test::TempDir dir;
    dir.write(QStringLiteral("chk.tmp"), "somebody else's");
    EXPECT_FALSE(CanWriteToFolder(dir.path()));
    EXPECT_EQ(dir.read(QStringLiteral("chk.tmp")), QByteArray("somebody else's"));
}

TEST(WriteProbe, MissingEmptyAndReadOnlyFoldersFail) {
    test::TempDir dir;
    EXPECT_FALSE(CanWriteToFolder(dir.file(QStringLiteral("missing"))));
    EXPECT_FALSE(CanWriteToFolder(QString()));

    const QString readOnly = dir.file(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    EXPECT_EQ(test::runUnprivileged([&] { return CanWriteToFolder(readOnly) ? 1 : 0; }), 0);
}

} // namespace
} // namespace hl
