#include "engine/filenaming.h"

#include <QFile>
#include <string_view>

namespace hl {

namespace {

bool isAllowedInUrlName(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'-' || u == u'.' || u == u'_' || (u >= u'0' && u <= u'9') ||
           (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

bool isForbiddenInFileName(QChar c) {
    // Control characters as well: a NUL would cut the name short where the system reads it, and
    // the others make names that no one can see or type.
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
    constexpr std::u16string_view forbidden = u"\"*+,/:;<=>?[\\]^|";
    return forbidden.find(c.unicode()) != std::u16string_view::npos;
}

// The file system takes names of at most 255 bytes; a name of many non-ASCII characters can pass
// that within kMaxFileNameLength characters, and the download would fail on its file name.
QString cutToEncodedLength(QString name) {
    while (QFile::encodeName(name).size() > kMaxFileNameLength) {
        name.chop(1);
        // Never half of a character outside the basic plane.
        if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
    }
    return name;
}

// "." and ".." name the folder itself and its parent, never a file to write.
bool namesAFolder(const QString& name) {
    return name == QLatin1String(".") || name == QLatin1String("..");
}

qsizetype indexOf(const QString& text, const QString& marker, bool caseSensitive) {
    if (caseSensitive) return text.indexOf(marker);
    return LowerCaseSameLength(text).indexOf(LowerCaseSameLength(marker));
}

} // namespace

QString LowerCaseSameLength(const QString& text) {
    QString lower = text;
    for (QChar& c : lower)
        c = c.toLower();
    return lower;
}

QString TextAfter(const QString& text, const QString& marker, bool caseSensitive) {
    const qsizetype at = indexOf(text, marker, caseSensitive);
    return at < 0 ? QString() : text.mid(at + marker.size());
}

QString TextBefore(const QString& text, const QString& marker, bool caseSensitive) {
    const qsizetype at = indexOf(text, marker, caseSensitive);
    return at < 0 ? QString() : text.left(at);
}

QString FileNameFromURL(const QString& url, bool fullUrl, bool includeParams) {
    QString s = url;
    s.replace(QStringLiteral("%20"), QStringLiteral(" "));
    if (includeParams) {
        s.replace(QLatin1Char('?'), QLatin1Char('-'));
    } else {
        const qsizetype query = s.indexOf(QLatin1Char('?'));
        if (query >= 0) s.truncate(query);
    }
    const QString tail = s.mid(s.lastIndexOf(QLatin1Char('/')) + 1).trimmed();
    s = s.trimmed();

    QString name = (tail.isEmpty() || namesAFolder(tail) || fullUrl) ? s : tail;
    for (QChar& c : name)
        if (!isAllowedInUrlName(c)) c = QLatin1Char('-');
    while (name.contains(QStringLiteral("--")))
        name.replace(QStringLiteral("--"), QStringLiteral("-"));
    // Short names keep their hyphens so that a name never collapses to nothing.
    if (name.size() > 3) {
        if (name.startsWith(QLatin1Char('-'))) name.remove(0, 1);
        if (name.endsWith(QLatin1Char('-'))) name.chop(1);
    }
    // A file can never be named "." or ".."; what is left of a line without a host, or of dots
    // between dropped characters, becomes the hyphen every unusable character becomes.
    if (namesAFolder(name)) return QStringLiteral("-");
    return name.left(kMaxFileNameLength);
}

QString SanitizeFileName(const QString& text) {
    QString name = text;
    for (QChar& c : name)
        if (c.unicode() <= 255 && isForbiddenInFileName(c)) c = QLatin1Char(' ');
    name.replace(QStringLiteral("  "), QStringLiteral(" "));
    return cutToEncodedLength(name.trimmed().left(kMaxFileNameLength));
}

QString FileNameFromContentDisposition(const QString& value) {
    QString name = TextAfter(value, QStringLiteral("filename*=UTF-8''"), false);
    if (name.isEmpty()) name = TextAfter(value, QStringLiteral("filename="), false);
    name = name.trimmed();
    if (name.startsWith(QLatin1Char(';'))) name = name.mid(1).trimmed();
    if (name.contains(QLatin1Char(';'))) name = TextBefore(name, QStringLiteral(";"), false);
    if (name.startsWith(QLatin1Char('"'))) name.remove(0, 1);
    if (name.endsWith(QLatin1Char('"'))) name.chop(1);
    name = SanitizeFileName(name.trimmed()).trimmed();
    return namesAFolder(name) ? QString() : name;
}

} // namespace hl
