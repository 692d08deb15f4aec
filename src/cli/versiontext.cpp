#include "cli/versiontext.h"

#include "buildinfo.h"
#include "platform/datafiles.h"
#include "protocols/openssllibrary.h"
#include "protocols/ssliohandlerbase.h"

namespace hl::cli {

namespace {

QString licenseLine() {
    const QString text = FindDataFile(QStringLiteral("license.txt"));
    QString line = QStringLiteral("Copyright (c) " HARVESTLINE_COMPANY_NAME ". MIT License");
    return text.isEmpty() ? line : line + QStringLiteral(": ") + text;
}

QString opensslLine() {
    try {
        return QStringLiteral("OpenSSL: ") + OpenSSLLibrary::process().versionText();
    } catch (const EIdOSSLCouldNotLoadSSLLibrary&) {
        return QStringLiteral("OpenSSL: none found, https URLs cannot be downloaded (") +
               OpenSSLLibrary::processFailures().join(QLatin1Char(' ')) + QLatin1Char(')');
    }
}

} // namespace

QString VersionText() {
    return QStringLiteral("harvestline-cli (" HARVESTLINE_PRODUCT_NAME ") " HARVESTLINE_VERSION_TEXT "\n") +
           licenseLine() + QLatin1Char('\n') + opensslLine() + QLatin1Char('\n');
}

} // namespace hl::cli
