#include "services/versioninfo.h"

namespace hl {
namespace {

QString entry(const VersionData& data, QLatin1String name) {
    for (const auto& [entryName, text] : data.entries)
        if (entryName == name) return text;
    return {};
}

} // namespace

TEXEVersionData GetEXEVersionData(const VersionData& data) {
    TEXEVersionData fields;
    const std::pair<QLatin1String, QString*> targets[] = {
        {QLatin1String("CompanyName"), &fields.CompanyName},
        {QLatin1String("FileDescription"), &fields.FileDescription},
        {QLatin1String("FileVersion"), &fields.FileVersion},
        {QLatin1String("InternalName"), &fields.InternalName},
        {QLatin1String("LegalCopyright"), &fields.LegalCopyright},
        {QLatin1String("LegalTrademarks"), &fields.LegalTrademarks},
        {QLatin1String("OriginalFileName"), &fields.OriginalFileName},
        {QLatin1String("ProductName"), &fields.ProductName},
        {QLatin1String("ProductVersion"), &fields.ProductVersion},
        {QLatin1String("Comments"), &fields.Comments},
        {QLatin1String("PrivateBuild"), &fields.PrivateBuild},
        {QLatin1String("SpecialBuild"), &fields.SpecialBuild},
    };
    for (const auto& [name, field] : targets)
        *field = entry(data, name);
    return fields;
}

ProgramIdentity IdentityOf(const VersionData& data) {
    const TEXEVersionData fields = GetEXEVersionData(data);
    return {fields.CompanyName + QStringLiteral(" - ") + fields.ProductName,
            QStringLiteral("%1.%2").arg(data.fileVersion.major).arg(data.fileVersion.minor),
            fields.ProductName};
}

const ProgramIdentity& CurrentProgramIdentity() {
    static const ProgramIdentity identity = IdentityOf(ProgramVersionData());
    return identity;
}

} // namespace hl
