#include "platform/writeprobe.h"
#include "support/tempdir.h"
#include "support/unprivileged.h"

#include <QFile>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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
    for (int kill = 0; kill < 20; ++kill) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (;;)
                CanWriteToFolder(dir.path());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + kill));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
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
    EXPECT_EQ(test::runUnprivileged([&] { return CanWriteToFolder(readOnly) ? 1 : 0; }), 0);
}

} // namespace
} // namespace hl
