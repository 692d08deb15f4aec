#include "platform/versiondata.h"

#include "buildinfo.h"

namespace hl {

const VersionData& ProgramVersionData() {
    static const VersionData data{
        {HARVESTLINE_VERSION_MAJOR, HARVESTLINE_VERSION_MINOR, HARVESTLINE_VERSION_PATCH, 0},
        {
            {QStringLiteral("CompanyName"), QStringLiteral(HARVESTLINE_COMPANY_NAME)},
            {QStringLiteral("FileDescription"), QStringLiteral(HARVESTLINE_PRODUCT_NAME " bulk downloader")},
            {QStringLiteral("FileVersion"), QStringLiteral(HARVESTLINE_VERSION_TEXT ".0")},
            {QStringLiteral("InternalName"), QStringLiteral(HARVESTLINE_PRODUCT_NAME)},
            {QStringLiteral("LegalCopyright"), QStringLiteral("Copyright (C) " HARVESTLINE_COMPANY_NAME)},
            {QStringLiteral("OriginalFileName"), QStringLiteral("harvestline")},
            {QStringLiteral("ProductName"), QStringLiteral(HARVESTLINE_PRODUCT_NAME)},
            {QStringLiteral("ProductVersion"), QStringLiteral(HARVESTLINE_VERSION_TEXT)},
        }};
    return data;
}

} // namespace hl
