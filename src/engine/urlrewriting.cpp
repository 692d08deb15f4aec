#include "engine/urlrewriting.h"

#include "engine/filenaming.h"

namespace hl {

namespace {

const QString kDropboxDomain = QStringLiteral("dropbox.com");
const QString kGoogleDriveHost = QStringLiteral("drive.google.com");

// The text from `from` up to the next `terminator` or the end, copied from url as written.
QString idAfter(const QString& url, qsizetype from, QChar terminator) {
    const qsizetype end = url.indexOf(terminator, from);
    return url.mid(from, end < 0 ? -1 : end - from);
}

} // namespace

QString FixURLScheme(const QString& line) {
    struct Repair {
        QString prefix;
        QString replacement;
    };
    const QString bs2 = QStringLiteral("\\\\");
    const QString bs3 = QStringLiteral("\\\\\\");
    // Three backslashes first, so that "http:\\\" does not leave a backslash behind.
    const Repair repairs[] = {
        {QStringLiteral("ftp:") + bs3, QStringLiteral("ftp://")},
        {QStringLiteral("http:") + bs3, QStringLiteral("http://")},
        {QStringLiteral("https:") + bs3, QStringLiteral("https://")},
        {QStringLiteral("ftp:") + bs2, QStringLiteral("ftp://")},
        {QStringLiteral("http:") + bs2, QStringLiteral("http://")},
        {QStringLiteral("https:") + bs2, QStringLiteral("https://")},
    };
    QString s = line.trimmed();
    for (const Repair& r : repairs)
        if (LowerCaseSameLength(s).startsWith(r.prefix)) s = r.replacement + s.mid(r.prefix.size());
    return s.trimmed();
}

QString GoogleDriveFileId(const QString& url) {
    const QString lower = LowerCaseSameLength(url);
    const QString pathMarker = QStringLiteral("file/d/");
    const qsizetype path = lower.indexOf(pathMarker);
    if (path >= 0) return idAfter(url, path + pathMarker.size(), QLatin1Char('/'));
    const QString queryMarker = QStringLiteral("id=");
    const qsizetype query = lower.indexOf(queryMarker);
    if (query >= 0) return idAfter(url, query + queryMarker.size(), QLatin1Char('&'));
    return {};
}

QString RewriteSharingLink(const QString& url) {
    QString result = url;
    if (LowerCaseSameLength(result).contains(kDropboxDomain + QLatin1Char('/'))) {
        const QString lower = LowerCaseSameLength(result);
        if (lower.endsWith(QStringLiteral("?dl=0")))
            result = result.chopped(5) + QStringLiteral("?dl=1");
        else if (lower.endsWith(QStringLiteral("&dl=0")))
            result = result.chopped(5) + QStringLiteral("&dl=1");
        else if (!result.contains(QLatin1Char('?')))
            result += QStringLiteral("?dl=1");
    }
    if (LowerCaseSameLength(result).contains(kGoogleDriveHost + QLatin1Char('/'))) {
        const QString id = GoogleDriveFileId(result);
        if (!id.isEmpty())
            result = QStringLiteral("https://") + kGoogleDriveHost +
                     QStringLiteral("/uc?export=download&id=") + id;
    }
    return result;
}

QString EncodeSpaces(const QString& url) {
    QString result = url;
    return result.replace(QLatin1Char(' '), QStringLiteral("%20"));
}

} // namespace hl
