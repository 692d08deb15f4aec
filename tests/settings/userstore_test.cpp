#include "platform/filecontents.h"
#include "settings/userstore.h"
#include "support/qtprinters.h"
#include "support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(UserStore, ValuesAreReadByNameAndEveryWriteReplacesTheFile) {
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("LUMBRIX/Harvestline/user.ini"));
    UserStore store(path);
    ASSERT_TRUE(store.Open()); // makes the folder; a missing file is an empty store
    EXPECT_EQ(store.ReadString(u"HowMany"), std::nullopt);
    store.WriteInteger(u"HowMany", 3);
    store.WriteString(u"InstalledVersion", QStringLiteral("1.0"));
    EXPECT_EQ(dir.read(QStringLiteral("LUMBRIX/Harvestline/user.ini")),
              QByteArray("\xEF\xBB\xBF[Settings]\r\nHowMany=3\r\nInstalledVersion=1.0\r\n\r\n"));
    EXPECT_EQ(store.ReadInteger(u"howmany"), 3); // names match without regard to case
    EXPECT_EQ(dir.entries(), QStringList({"LUMBRIX"}));
    EXPECT_EQ(QDir(dir.file(QStringLiteral("LUMBRIX/Harvestline"))).entryList(QDir::Files),
              QStringList({"user.ini"})); // no temporary file left behind

    store.WriteString(u"ShowUpdate", QStringLiteral("x"));
    EXPECT_EQ(store.ReadInteger(u"ShowUpdate"), std::nullopt);
}

TEST(UserStore, TwoStoresOnOneFileKeepEachOthersValues) {
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("user.ini"));
    UserStore check(path), window(path);
    ASSERT_TRUE(check.Open());
    ASSERT_TRUE(window.Open());
    check.WriteInteger(u"HowMany", 1);
    window.WriteInteger(u"ShowUpdate", 0);
    check.WriteString(u"CurrentVersion", QStringLiteral("2.0"));
    UserStore later(path);
    ASSERT_TRUE(later.Open());
    EXPECT_EQ(later.ReadInteger(u"HowMany"), 1);
    EXPECT_EQ(later.ReadInteger(u"ShowUpdate"), 0);
    EXPECT_EQ(later.ReadString(u"CurrentVersion"), QStringLiteral("2.0"));
}

TEST(UserStore, AFileThatCannotBeReadIsNeverOverwritten) {
    test::TempDir dir;
    // Far larger than a store of a few values: not ours to load, and not ours to replace either.
    const QByteArray huge = "[Settings]\r\nHowMany=9\r\n" + QByteArray(2 * 1024 * 1024, ';');
    dir.write(QStringLiteral("user.ini"), huge);
    QDir().mkpath(dir.file(QStringLiteral("folder.ini")));
    for (const char* name : {"user.ini", "folder.ini"}) {
        UserStore store(dir.file(QLatin1String(name)));
        EXPECT_FALSE(store.Open()) << name;
        EXPECT_EQ(store.ReadInteger(u"HowMany"), std::nullopt) << name;
        EXPECT_THROW(store.WriteInteger(u"HowMany", 1), EFileError) << name;
    }
    EXPECT_EQ(dir.read(QStringLiteral("user.ini")), huge);
}

TEST(UserStore, BytesThatAreNotUtf8DoNotCostTheOtherValues) {
    test::TempDir dir;
    dir.write(QStringLiteral("user.ini"), "[Settings]\r\nCurrentVersion=\xFF\xFE\r\nHowMany=4\r\n");
    UserStore store(dir.file(QStringLiteral("user.ini")));
    ASSERT_TRUE(store.Open());
    EXPECT_EQ(store.ReadInteger(u"HowMany"), 4);
    store.WriteInteger(u"HowMany", 5);
    UserStore again(dir.file(QStringLiteral("user.ini")));
    ASSERT_TRUE(again.Open());
    EXPECT_EQ(again.ReadInteger(u"HowMany"), 5);
}

} // namespace
} // namespace hl
