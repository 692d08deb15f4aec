#include "protocols/httpcharset.h"

#include "protocols/httpreplyparser.h"

#include <QStringDecoder>
#include <array>

namespace hl {

namespace {

QString mediaType(const QString& contentType) {
    return contentType.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// One attribute of a tag: its lower-case name and its value (quotes removed).
struct Attribute {
    QByteArray name;
    QByteArray value;
};

// Reads the attribute at pos; empty name at the end of the tag. Always advances pos on input
// that is not the end of the tag.
Attribute readAttribute(const QByteArray& text, qsizetype& pos) {
    const qsizetype n = text.size();
    while (pos < n && (isSpace(text[pos]) || text[pos] == '/'))
        ++pos;
    Attribute attribute;
    if (pos >= n || text[pos] == '>') return attribute;
    const qsizetype nameStart = pos;
    while (pos < n && !isSpace(text[pos]) && text[pos] != '=' && text[pos] != '>' && text[pos] != '/')
        ++pos;
    attribute.name = text.mid(nameStart, pos - nameStart).toLower();
    while (pos < n && isSpace(text[pos]))
        ++pos;
    if (pos >= n || text[pos] != '=') {
        if (attribute.name.isEmpty() && pos < n && text[pos] != '>') ++pos;
        return attribute;
    }
    ++pos;
    while (pos < n && isSpace(text[pos]))
        ++pos;
    if (pos < n && (text[pos] == '"' || text[pos] == '\'')) {
        const char quote = text[pos++];
        const qsizetype end = text.indexOf(quote, pos);
        const qsizetype stop = end < 0 ? n : end;
        attribute.value = text.mid(pos, stop - pos);
        pos = end < 0 ? n : end + 1;
    } else {
        const qsizetype valueStart = pos;
        while (pos < n && !isSpace(text[pos]) && text[pos] != '>')
            ++pos;
        attribute.value = text.mid(valueStart, pos - valueStart);
    }
    if (attribute.name.isEmpty()) attribute.name = "=";
    return attribute;
}

QString lowerNoPunctuation(const QString& name) {
    QString out;
    for (const QChar c : name)
        if (c.isLetterOrNumber()) out += c.toLower();
    return out;
}

// Windows-1252 at 0x80-0x9F; the rest of the byte range is Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeWindows1252(const QByteArray& bytes) {
    QString text = QString::fromLatin1(bytes);
    for (QChar& c : text)
        if (c.unicode() >= 0x80 && c.unicode() < 0xA0) c = QChar(kWindows1252High[c.unicode() - 0x80]);
    return text;
}

} // namespace

bool isHtmlMediaType(const QString& contentType) {
    const QString type = mediaType(contentType);
    return type == QLatin1String("text/html") || type == QLatin1String("text/html-sandboxed") ||
           type == QLatin1String("application/xhtml+xml");
}

bool isXmlMediaType(const QString& contentType) {
    const QString type = mediaType(contentType);
    return type == QLatin1String("application/xml") ||
           type == QLatin1String("application/xml-external-parsed-entity") ||
           type == QLatin1String("application/xml-dtd") ||
           (type.endsWith(QLatin1String("+xml")) && type != QLatin1String("application/xhtml+xml"));
}

bool isJsonMediaType(const QString& contentType) {
    const QString type = mediaType(contentType);
    return type == QLatin1String("application/json") || type == QLatin1String("application/javascript") ||
           type == QLatin1String("application/x-javascript") || type.endsWith(QLatin1String("+json"));
}

HtmlMetaDeclarations scanHtmlMeta(const QByteArray& html) {
    HtmlMetaDeclarations result;
    const QByteArray lower = html.toLower();
    qsizetype pos = 0;
    while ((pos = lower.indexOf("<meta", pos)) >= 0) {
        pos += 5;
        if (pos < html.size() && !isSpace(html[pos]) && html[pos] != '/' && html[pos] != '>') continue;
        QByteArray equiv, content, charset;
        bool hasContent = false;
        for (;;) {
            const Attribute attribute = readAttribute(html, pos);
            if (attribute.name.isEmpty()) break;
            if (attribute.name == "http-equiv") equiv = attribute.value.trimmed();
            if (attribute.name == "content") {
                content = attribute.value;
                hasContent = true;
            }
            if (attribute.name == "charset") charset = attribute.value.trimmed();
        }
        if (!equiv.isEmpty() && hasContent) {
            const QString name = QString::fromLatin1(equiv);
            const QString value = QString::fromLatin1(content).trimmed();
            result.httpEquiv.append({name, value});
            if (result.charset.isEmpty() &&
                name.compare(QLatin1String("Content-Type"), Qt::CaseInsensitive) == 0)
                result.charset = headerParameter(value, QStringLiteral("charset"));
        }
        if (result.charset.isEmpty() && !charset.isEmpty()) result.charset = QString::fromLatin1(charset);
    }
    return result;
}

QString xmlDeclaredEncoding(const QByteArray& xml) {
    if (xml.startsWith("\xEF\xBB\xBF")) return QStringLiteral("UTF-8");
    if (xml.startsWith("\xFE\xFF")) return QStringLiteral("UTF-16BE");
    if (xml.startsWith("\xFF\xFE")) return QStringLiteral("UTF-16LE");
    if (xml.startsWith(QByteArray("<\0?\0", 4))) return QStringLiteral("UTF-16LE");
    if (xml.startsWith(QByteArray("\0<\0?", 4))) return QStringLiteral("UTF-16BE");
    if (!xml.startsWith("<?xml")) return {};
    const qsizetype end = xml.indexOf("?>");
    const QByteArray declaration = xml.left(end < 0 ? xml.size() : end);
    qsizetype pos = 5;
    for (;;) {
        const Attribute attribute = readAttribute(declaration, pos);
        if (attribute.name.isEmpty()) return {};
        if (attribute.name == "encoding") return QString::fromLatin1(attribute.value.trimmed());
    }
}

QString jsonEncoding(const QByteArray& json) {
    if (json.startsWith("\xEF\xBB\xBF")) return QStringLiteral("UTF-8");
    if (json.size() >= 4) {
        const bool z0 = json[0] == 0, z1 = json[1] == 0, z2 = json[2] == 0, z3 = json[3] == 0;
        if (z0 && z1 && z2 && !z3) return QStringLiteral("UTF-32BE");
        if (!z0 && z1 && z2 && z3) return QStringLiteral("UTF-32LE");
        if (z0 && !z1 && z2 && !z3) return QStringLiteral("UTF-16BE");
        if (!z0 && z1 && !z2 && z3) return QStringLiteral("UTF-16LE");
    } else if (json.size() >= 2) {
        if (json[0] == 0 && json[1] != 0) return QStringLiteral("UTF-16BE");
        if (json[0] != 0 && json[1] == 0) return QStringLiteral("UTF-16LE");
    }
    return QStringLiteral("UTF-8");
}

QString decodeText(const QByteArray& bytes, const QString& charset) {
    const QString name = lowerNoPunctuation(charset);
    if (name == QLatin1String("windows1252") || name == QLatin1String("cp1252") ||
        name == QLatin1String("iso88591") || name == QLatin1String("latin1") ||
        name == QLatin1String("usascii") || name == QLatin1String("ascii"))
        return decodeWindows1252(bytes);
    if (!name.isEmpty()) {
        if (const auto encoding = QStringConverter::encodingForName(charset.toLatin1().constData())) {
            QStringDecoder decoder(*encoding, QStringConverter::Flag::Stateless);
            return decoder.decode(bytes);
        }
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? decodeWindows1252(bytes) : text;
}

} // namespace hl
