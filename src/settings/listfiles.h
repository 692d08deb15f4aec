#pragma once
// list.txt and proxylist.txt: the files that mirror the URL list and the proxy list.
#include "platform/textencoding.h"
#include "settings/textlines.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace hl {

// The URL list as list.txt holds it. The bytes are read as UTF-8, or in the encoding a byte-order
// mark names, and in the ANSI code page when they are not valid there; the lines are split at CR LF,
// LF and CR, and one empty last line is dropped. Throws EFileError when the file cannot be read.
QStringList LoadUrlList(const QString& path);

// The bytes of list.txt for the URL editor's text: a UTF-8 byte-order mark, then every line of the
// text (a break at its very end starts no further line) followed by CR LF. An empty text gives the
// mark alone.
QByteArray UrlListFileBytes(QStringView editorText);

// Rewrites list.txt with UrlListFileBytes in one step (ReplaceFileContents). Throws EFileError.
void SaveUrlList(const QString& path, QStringView editorText);

// How proxylist.txt is written: UTF-8 without a mark and with CR LF between lines unless the file
// loaded at start-up had a mark or another break style.
struct TextFileStyle {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    LineBreak lineBreak = LineBreak::CrLf;
};

struct ProxyListFile {
    QString text; // the proxy editor's text, lines separated by "\n"
    TextFileStyle style;
};

// Reads proxylist.txt: UTF-8 (a mark is skipped), else the encoding a mark names, else the ANSI
// code page. The style remembers the mark, the UTF-16 encoding a mark chose, and the first line
// break; a file read in the ANSI code page is saved back as UTF-8, which holds every character.
// Throws EFileError when the file cannot be read.
ProxyListFile LoadProxyList(const QString& path);

// The bytes of proxylist.txt for the proxy editor's text: lines joined by the style's break, no
// break after the last line (a final empty line of the editor keeps its break).
QByteArray ProxyListFileBytes(QStringView editorText, const TextFileStyle& style);

// Rewrites proxylist.txt with ProxyListFileBytes in one step. Throws EFileError.
void SaveProxyList(const QString& path, QStringView editorText, const TextFileStyle& style);

} // namespace hl
