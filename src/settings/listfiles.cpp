#include "settings/listfiles.h"

#include "platform/filecontents.h"

namespace hl {
namespace {

// Far beyond any list a person keeps (several million URLs), but short of exhausting memory.
constexpr qint64 kListSizeLimit = 512 * 1024 * 1024;

} // namespace

QStringList LoadUrlList(const QString& path) {
    QStringList lines = SplitLines(DecodeTextFile(ReadFileContents(path, kListSizeLimit)).text);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray UrlListFileBytes(QStringView editorText) {
    // Breaks are rewritten on the UTF-8 bytes: converting first and scanning bytes is several times
    // faster than building the text anew, which matters at every keystroke in a long list.
    QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBF");
    bytes += TerminateLines(QByteArrayView(editorText.toUtf8()), LineBreak::CrLf);
    return bytes;
}

void SaveUrlList(const QString& path, QStringView editorText) {
    ReplaceFileContents(path, UrlListFileBytes(editorText));
}

ProxyListFile LoadProxyList(const QString& path) {
    DecodedTextFile file = DecodeTextFile(ReadFileContents(path, kListSizeLimit));
    TextFileStyle style;
    style.encoding = file.encoding == TextEncoding::Ansi ? TextEncoding::Utf8 : file.encoding;
    style.byteOrderMark = file.byteOrderMark;
    style.lineBreak = DetectLineBreak(file.text);
    return {ReplaceLineBreaks(file.text, LineBreak::Lf), style};
}

QByteArray ProxyListFileBytes(QStringView editorText, const TextFileStyle& style) {
    return EncodeText(ReplaceLineBreaks(editorText, style.lineBreak), style.encoding, style.byteOrderMark);
}

void SaveProxyList(const QString& path, QStringView editorText, const TextFileStyle& style) {
    ReplaceFileContents(path, ProxyListFileBytes(editorText, style));
}

} // namespace hl
