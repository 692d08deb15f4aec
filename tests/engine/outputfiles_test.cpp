#include "engine/outputfiles.h"
#include "support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(UniqueFileName, NumbersFromTwoBeforeTheLastExtension) {
    test::TempDir dir;
    const struct {
        QStringList existing;
        const char* path;
        const char* expected;
    } cases[] = {
        {{}, "a.zip", "a.zip"},
        {{"a.zip"}, "a.zip", "a (2).zip"},
        {{"a.zip", "a (2).zip"}, "a.zip", "a (3).zip"},
        {{"a.tar.gz"}, "a.tar.gz", "a.tar (2).gz"},
        {{"a.zip.part"}, "a.zip.part", "a.zip (2).part"},
        {{"noext"}, "noext", "noext (2)"},
        {{"d.x/f"}, "d.x/f", "d.x/f (2)"}, // a dot in the folder is no extension
    };
    for (const auto& c : cases) {
        test::TempDir fresh;
        for (const QString& name : c.existing)
            fresh.write(name, "x");
        EXPECT_EQ(UniqueFileName(fresh.file(QString::fromUtf8(c.path))),
                  fresh.file(QString::fromUtf8(c.expected)))
            << c.path;
    }
    // A folder of that name does not count as a file.
    QDir().mkpath(dir.file(QStringLiteral("folder.zip")));
    EXPECT_EQ(UniqueFileName(dir.file(QStringLiteral("folder.zip"))), dir.file(QStringLiteral("folder.zip")));
}

TEST(DeleteIfEmpty, DeletesOnlyAnEmptyFile) {
    test::TempDir dir;
    dir.write(QStringLiteral("empty"), "");
    dir.write(QStringLiteral("one"), "1");
    QDir().mkpath(dir.file(QStringLiteral("folder")));
    EXPECT_TRUE(DeleteIfEmpty(dir.file(QStringLiteral("empty"))));
    EXPECT_FALSE(dir.exists(QStringLiteral("empty")));
    EXPECT_FALSE(DeleteIfEmpty(dir.file(QStringLiteral("one"))));
    EXPECT_FALSE(DeleteIfEmpty(dir.file(QStringLiteral("folder"))));
    EXPECT_FALSE(DeleteIfEmpty(dir.file(QStringLiteral("missing"))));
    EXPECT_EQ(dir.read(QStringLiteral("one")), "1");
    EXPECT_EQ(FileSizeOf(dir.file(QStringLiteral("one"))), 1);
    EXPECT_EQ(FileSizeOf(dir.file(QStringLiteral("missing"))), -1);
    EXPECT_EQ(FileSizeOf(dir.file(QStringLiteral("folder"))), -1);
}

TEST(ReserveOutputFiles, AppliesTheExistingFilePolicy) {
    struct Case {
        const char* name;
        QStringList existing;
        bool overwrite;
        bool resume;
        const char* filename;
        const char* partfilename;
        bool resumed;
    };
    const Case cases[] = {
        {"fresh name", {}, false, true, "a.zip", "a.zip.part", false},
        {"numbered copy", {"a.zip"}, false, true, "a (2).zip", "a (2).zip.part", false},
        {"resume", {"a.zip.part"}, false, true, "a.zip", "a.zip.part", true},
        {"no resume", {"a.zip.part"}, false, false, "a.zip", "a.zip (2).part", false},
        {"overwrite", {"a.zip"}, true, true, "a.zip", "a.zip.part", false},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        for (const QString& name : c.existing)
            dir.write(name, "old");
        const ReservedOutput out =
            ReserveOutputFiles(dir.file(QStringLiteral("a.zip")), c.overwrite, c.resume);
        EXPECT_EQ(out.filename, dir.file(QString::fromUtf8(c.filename))) << c.name;
        EXPECT_EQ(out.partfilename, dir.file(QString::fromUtf8(c.partfilename))) << c.name;
        EXPECT_EQ(out.ResumeDownload, c.resumed) << c.name;
        ASSERT_TRUE(out.FS) << c.name;
        // A resumed partial file keeps its bytes; a fresh one starts empty.
        EXPECT_EQ(out.FS->Size(), c.resumed ? 3 : 0) << c.name;
        // The final name is reserved; an existing file there keeps its content until replaced.
        EXPECT_TRUE(FileExists(out.filename)) << c.name;
        if (c.overwrite) {
            EXPECT_EQ(dir.read(QStringLiteral("a.zip")), "old") << c.name;
        }
        // An untouched old partial file stays as it was.
        if (!c.resume && c.existing.contains(QStringLiteral("a.zip.part"))) {
            EXPECT_EQ(dir.read(QStringLiteral("a.zip.part")), "old") << c.name;
        }
    }
}

TEST(ReserveOutputFiles, ReportsAFileThatCannotBeCreatedAndLeavesNothing) {
    test::TempDir dir;
    try {
        ReserveOutputFiles(dir.file(QStringLiteral("missing-folder/a.zip")), false, true);
        FAIL() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("missing-folder/a.zip")))
            << e.message().toStdString();
    }
    // A final name that fits the file system while its partial name does not (255 bytes).
    EXPECT_THROW(ReserveOutputFiles(dir.file(QString(252, QLatin1Char('n'))), false, true), EStreamError);
    EXPECT_TRUE(dir.entries().isEmpty());
}

TEST(MoveToFinalName, ReplacesTheTargetAndReportsFailures) {
    test::TempDir dir;
    dir.write(QStringLiteral("a.part"), "new");
    dir.write(QStringLiteral("a"), "");
    MoveToFinalName(dir.file(QStringLiteral("a.part")), dir.file(QStringLiteral("a")));
    EXPECT_EQ(dir.read(QStringLiteral("a")), "new");
    EXPECT_FALSE(dir.exists(QStringLiteral("a.part")));
    EXPECT_THROW(MoveToFinalName(dir.file(QStringLiteral("gone.part")), dir.file(QStringLiteral("b"))),
                 EStreamError);
}

} // namespace
} // namespace hl
