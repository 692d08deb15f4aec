#pragma once
// The character set of a reply body: declared in an HTML meta element, an XML declaration or
// implied by a JSON body's first bytes; and turning a body into text with it. Pure functions over
// a bounded prefix of the body.
#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

namespace hl {

// Media-type families whose bodies declare their own character set. contentType is a
// Content-Type value (parameters allowed).
bool isHtmlMediaType(const QString& contentType);
bool isXmlMediaType(const QString& contentType);
bool isJsonMediaType(const QString& contentType);

struct HtmlMetaDeclarations {
    QList<std::pair<QString, QString>> httpEquiv; // name, content
    QString charset; // <meta charset>, or the charset of an http-equiv Content-Type
};

// The meta elements of an HTML text (usually the first few KiB of the body).
HtmlMetaDeclarations scanHtmlMeta(const QByteArray& html);

// The encoding an XML text declares (byte-order mark, or encoding="..." in its declaration);
// empty when it declares none.
QString xmlDeclaredEncoding(const QByteArray& xml);

// The encoding of a JSON text from its first four bytes (RFC 4627): UTF-8, UTF-16BE/LE or
// UTF-32BE/LE.
QString jsonEncoding(const QByteArray& json);

// Bytes as text in the named character set. Latin-1 labels decode as Windows-1252, as browsers
// do; an empty or unknown charset decodes as UTF-8 when the bytes are valid UTF-8, else as
// Windows-1252.
QString decodeText(const QByteArray& bytes, const QString& charset);

} // namespace hl
