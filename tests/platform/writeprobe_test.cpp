#include "platform/writeprobe.h"
#include "support/tempdir.h"
#include "support/unprivileged.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

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

// The probe file of the design is deleted on close, so even a process killed while probing leaves
// none behind; a stray one would make every later probe of the folder fail.
TEST(WriteProbe, AProbeKilledAtAnyMomentLeavesNothingBehind) {
    test::TempDir dir;
    const test::TempDir logs;
    const QString output = logs.file(QStringLiteral("out"));
    for (int kill = 0; kill < 20; ++kill) {
        QFile::remove(output);
        const auto helper = test::startHelper({QStringLiteral("probe-forever"), dir.path()}, output);
        // The kill lands at a different moment of the probing each time, not during the start.
        for (int wait = 0; QFileInfo(output).size() == 0 && wait < 1000; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_GT(QFileInfo(output).size(), 0) << "the helper never started probing";
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + kill));
        helper->kill();
        ASSERT_TRUE(dir.entries().isEmpty()) << "after kill " << kill;
    }
    EXPECT_TRUE(CanWriteToFolder(dir.path()));
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
    EXPECT_EQ(test::runUnprivileged({QStringLiteral("can-write"), readOnly}).exitCode, 1);
}

} // namespace
} // namespace hl
