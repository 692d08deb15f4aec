#include "services/versioninfo.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(VersionInfo, EachFieldComesFromItsEntryAndAMissingOneStaysEmpty) {
    VersionData data{{6, 4, 2, 17}, {}};
    const char* names[] = {"CompanyName",    "FileDescription", "FileVersion",      "InternalName",
                           "LegalCopyright", "LegalTrademarks", "OriginalFileName", "ProductName",
                           "ProductVersion", "PrivateBuild",    "SpecialBuild"}; // no Comments
    for (const char* name : names)
        data.entries.emplace_back(QLatin1String(name), QLatin1String(name) + QStringLiteral(" text"));
    const TEXEVersionData fields = GetEXEVersionData(data);
    const QString inOrder[] = {fields.CompanyName,      fields.FileDescription, fields.FileVersion,
                               fields.InternalName,     fields.LegalCopyright,  fields.LegalTrademarks,
                               fields.OriginalFileName, fields.ProductName,     fields.ProductVersion,
                               fields.PrivateBuild,     fields.SpecialBuild};
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(inOrder[i], QLatin1String(names[i]) + QStringLiteral(" text"));
    EXPECT_EQ(fields.Comments, QString());

    const ProgramIdentity identity = IdentityOf(data);
    EXPECT_EQ(identity.applicationTitle, QStringLiteral("CompanyName text - ProductName text"));
    EXPECT_EQ(identity.versionText, QStringLiteral("6.4"));
    EXPECT_EQ(identity.productName, QStringLiteral("ProductName text"));
}

TEST(VersionInfo, TheProgramNamesItsMakerProductAndVersion) {
    const TEXEVersionData fields = GetEXEVersionData(ProgramVersionData());
    EXPECT_EQ(fields.CompanyName, QStringLiteral("LUMBRIX"));
    EXPECT_EQ(fields.ProductName, QStringLiteral("Harvestline"));
    const VersionNumbers& version = ProgramVersionData().fileVersion;
    EXPECT_TRUE(
        fields.FileVersion.startsWith(QStringLiteral("%1.%2.").arg(version.major).arg(version.minor)));
    EXPECT_EQ(CurrentProgramIdentity().applicationTitle, QStringLiteral("LUMBRIX - Harvestline"));
    EXPECT_EQ(CurrentProgramIdentity().versionText,
              QStringLiteral("%1.%2").arg(version.major).arg(version.minor));
}

} // namespace
} // namespace hl
