// libFuzzer target for the output naming: the name a server proposes in Content-Disposition, the
// name taken from the URL, the cleaned extension text, and the name a download settles on.
//
// Input: a control byte (bit 0: Full URL, bit 1: Include Parameters), then three lines: the
// Content-Disposition value, the URL and the extension text.
//
// Besides crashes it checks what the file system needs of every name, as it stores the name: no
// "/" and no NUL, at most 200 bytes, and for the name a download opens, never "." or "..". A
// proposal of "." or ".." is not opened: the download falls back to the URL's name for it.
#include "engine/filenaming.h"
#include "fuzzcheck.h"
#include "protocols/httpreplyparser.h"
#include "protocols/httpuri.h"

#include <QByteArray>
#include <QFile>
#include <QList>

namespace {

using fuzzcheck::require;

bool isDotName(const QString& name) {
    return name == QLatin1String(".") || name == QLatin1String("..");
}

// What every part of a file name must be on the file system.
void checkNamePart(const QString& name) {
    const QByteArray stored = QFile::encodeName(name);
    require(!stored.contains('/'), "a name holds no \"/\"");
    require(!stored.contains('\0'), "a name holds no NUL");
    require(stored.size() <= hl::kMaxFileNameLength, "a name takes at most 200 bytes");
}

// What the name a download opens must be besides.
void checkOpenedName(const QString& name) {
    checkNamePart(name);
    require(!isDotName(name), "a download never opens \".\" or \"..\"");
}

// The name the download procedure settles on: the server's proposal, or the URL's name when there
// is none or it names a folder.
QString downloadName(const QString& proposed, const QString& url, bool fullUrl, bool includeParams) {
    if (!proposed.isEmpty() && !isDotName(proposed)) return proposed;
    return hl::FileNameFromURL(url, fullUrl, includeParams);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool fullUrl = data[0] & 1;
    const bool includeParams = data[0] & 2;
    const QList<QByteArray> lines =
        QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)).split('\n');
    const QByteArray disposition = lines.value(0);
    const QString url = QString::fromUtf8(lines.value(1));
    const QString extension = QString::fromUtf8(lines.value(2));

    const QString fromUrl = hl::FileNameFromURL(url, fullUrl, includeParams);
    checkOpenedName(fromUrl);
    if (url.contains(QLatin1String("://")) && !hl::parseURI(url).Host.isEmpty())
        require(!fromUrl.isEmpty(), "a URL with a host always gives a name");

    // A header's bytes as the client reads them, and any text a caller may hand over.
    for (const QString& value : {hl::decodeHeaderBytes(disposition), QString::fromUtf8(disposition)}) {
        const QString proposed = hl::FileNameFromContentDisposition(value);
        checkNamePart(proposed);
        checkOpenedName(downloadName(proposed, url, fullUrl, includeParams));
    }
    checkNamePart(hl::SanitizeFileName(extension));
    return 0;
}
