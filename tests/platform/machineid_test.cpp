#include "platform/machineid.h"
#include "platform/systemdescription.h"
#include "support/qtprinters.h"
#include "support/tempdir.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(MachineIdentifier, AKeyedHashOfTheMachineIdNeverTheIdItself) {
    const QByteArray id = "4c1d2f0e9a8b47c6b5a4e3d2c1b0a9f8";
    const QString identifier = MachineIdentifierFor(id + "\n");
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"))
            .match(identifier)
            .hasMatch())
        << identifier.toStdString();
    QString digits = identifier;
    digits.remove(QLatin1Char('-'));
    EXPECT_FALSE(QString::fromLatin1(id).contains(digits.left(8)));
    EXPECT_EQ(MachineIdentifierFor(id), identifier); // stable across starts
    EXPECT_NE(MachineIdentifierFor("4c1d2f0e9a8b47c6b5a4e3d2c1b0a9f9"), identifier);
    EXPECT_EQ(MachineIdentifierFor(" \n"), QString());
}

TEST(MachineIdentifier, TakesTheFirstFileThatHoldsAnId) {
    test::TempDir dir;
    dir.write(QStringLiteral("empty"), "\n");
    dir.write(QStringLiteral("second"), "0123456789abcdef0123456789abcdef\n");
    EXPECT_EQ(MachineIdentifier({dir.file(QStringLiteral("missing")), dir.file(QStringLiteral("empty")),
                                 dir.file(QStringLiteral("second"))}),
              MachineIdentifierFor("0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(MachineIdentifier({dir.file(QStringLiteral("missing")), dir.path()}), QString());
}

TEST(SystemDescription, LocaleTagIsLanguageAndRegionOrXx) {
    EXPECT_EQ(LocaleTag(QLocale(QLocale::German, QLocale::Austria)), QStringLiteral("de-AT"));
    EXPECT_EQ(LocaleTag(QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral("en-US"));
    EXPECT_EQ(LocaleTag(QLocale::c()), QStringLiteral("xx"));
    EXPECT_TRUE(OperatingSystemText().endsWith(QStringLiteral("-bit")));
}

} // namespace
} // namespace hl
