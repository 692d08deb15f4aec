#include "platform/filecontents.h"
#include "support/tempdir.h"

#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace hl {
namespace {

void expectError(const std::function<void()>& action, const QString& file, const char* reason) {
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_TRUE(e.message().contains(file)) << e.what();
        EXPECT_TRUE(e.message().contains(QLatin1String(reason))) << e.what();
    }
}

TEST(FileContents, ReplaceWritesAndReplacesWithoutLeavingTemporaries) {
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("list.txt"));
    ReplaceFileContents(path, "first");
    ReplaceFileContents(path, "second, longer");
    ReplaceFileContents(path, "3");
    EXPECT_EQ(ReadFileContents(path, 100), QByteArray("3"));
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("list.txt")});
}

TEST(FileContents, ReplaceKeepsPermissionsAndFollowsLinks) {
    test::TempDir dir;
    dir.write(QStringLiteral("real.ini"), "old");
    QFile::setPermissions(dir.file(QStringLiteral("real.ini")), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("real.ini")), dir.file(QStringLiteral("link.ini"))));

    ReplaceFileContents(dir.file(QStringLiteral("link.ini")), "new");
    EXPECT_EQ(dir.read(QStringLiteral("real.ini")), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("link.ini"))).isSymLink());
    const QFile::Permissions otherThanOwner =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    EXPECT_FALSE(QFile::permissions(dir.file(QStringLiteral("real.ini"))) & otherThanOwner);
}

TEST(FileContents, FailuresNameTheFileAndTheReason) {
    test::TempDir dir;
    const QString inMissingFolder = dir.file(QStringLiteral("gone/settings.ini"));
    expectError([&] { ReplaceFileContents(inMissingFolder, "x"); }, inMissingFolder,
                "No such file or directory");
    expectError([&] { ReadFileContents(inMissingFolder, 100); }, inMissingFolder,
                "No such file or directory");

    dir.write(QStringLiteral("big"), QByteArray(101, 'x'));
    expectError([&] { ReadFileContents(dir.file(QStringLiteral("big")), 100); },
                dir.file(QStringLiteral("big")), "File too large");
    EXPECT_EQ(ReadFileContents(dir.file(QStringLiteral("big")), 101).size(), 101);

    // A folder where the file should be: the save fails and nothing is left behind.
    QDir().mkpath(dir.file(QStringLiteral("list.txt")));
    expectError([&] { ReplaceFileContents(dir.file(QStringLiteral("list.txt")), "x"); },
                dir.file(QStringLiteral("list.txt")), "Is a directory");
    EXPECT_EQ(dir.entries(), (QStringList{QStringLiteral("big"), QStringLiteral("list.txt")}));
}

TEST(FileContents, APipeOrADeviceIsRefusedAtOnce) {
    test::TempDir dir;
    const QString pipe = dir.file(QStringLiteral("list.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& path : {pipe, QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        std::promise<void> done;
        std::future<void> finished = done.get_future();
        std::thread reader([&] {
            expectError([&] { ReadFileContents(path, 100); }, path, "not a regular file");
            done.set_value();
        });
        const bool returned = finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        EXPECT_TRUE(returned) << "the read waits for a writer";
        if (!returned) ::close(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK));
        reader.join();
    }
}

} // namespace
} // namespace hl
