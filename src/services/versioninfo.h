#pragma once
// The version-info reader and the program identity built from it: the window's caption, and the
// name and version the update check and the feedback send to the maker.
#include "platform/versiondata.h"

#include <QString>

namespace hl {

// The twelve texts of a version resource, in this order.
struct TEXEVersionData {
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString OriginalFileName;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
    QString PrivateBuild;
    QString SpecialBuild;
};

// Each field from the entry of the same name; a field whose entry is missing stays empty. Pure.
TEXEVersionData GetEXEVersionData(const VersionData& data);

struct ProgramIdentity {
    // The company name, " - " and the product name ("LUMBRIX - Harvestline").
    QString applicationTitle;
    // The file version's major and minor numbers joined by "." ("1.0").
    QString versionText;
    QString productName;
};

// Pure.
ProgramIdentity IdentityOf(const VersionData& data);

// The identity of the running program. Thread-safe.
const ProgramIdentity& CurrentProgramIdentity();

} // namespace hl
