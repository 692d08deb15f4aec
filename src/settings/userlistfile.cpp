#include "settings/userlistfile.h"

#include "platform/ansicodepage.h"
#include "platform/filecontents.h"
#include "platform/textencoding.h"
#include "platform/utf8check.h"

namespace hl {
namespace {

constexpr qint64 kUserListSizeLimit = 512 * 1024 * 1024;

UserListFile fromText(const QString& text, bool byteOrderMark) {
    return {SplitLines(text), {DetectLineBreak(text), byteOrderMark}};
}

// The ANSI choice: Windows-1252 unless the bytes look like UTF-8 and are UTF-8 throughout.
UserListFile decodeAnsiGuessingUtf8(QByteArrayView bytes, bool byteOrderMark) {
    if (LooksLikeUtf8(bytes)) {
        if (const std::optional<QString> text = DecodeText(bytes, TextEncoding::Utf8))
            return fromText(*text, byteOrderMark);
    }
    return fromText(DecodeAnsi(bytes), byteOrderMark);
}

} // namespace

UserListFile DecodeChosenListFile(QByteArrayView bytes, ListFileEncoding encoding, const QString& path) {
    const std::optional<ByteOrderMark> mark = DetectByteOrderMark(bytes);
    const bool utf8Mark = mark && mark->encoding == TextEncoding::Utf8;
    const QByteArrayView body = utf8Mark ? bytes.sliced(mark->length) : bytes;
    if (encoding == ListFileEncoding::Ansi) return decodeAnsiGuessingUtf8(body, utf8Mark);
    const std::optional<QString> text = DecodeText(body, TextEncoding::Utf8);
    if (!text)
        throw EFileError(
            QStringLiteral("Cannot read \"%1\" as UTF-8: it holds bytes that are not valid UTF-8. "
                           "Choose the ANSI encoding to load it.")
                .arg(path));
    return fromText(*text, utf8Mark);
}

UserListFile DecodeDroppedListFile(QByteArrayView bytes) {
    const std::optional<ByteOrderMark> mark = DetectByteOrderMark(bytes);
    const QByteArrayView body = mark ? bytes.sliced(mark->length) : bytes;
    if (mark) {
        if (const std::optional<QString> text = DecodeText(body, mark->encoding))
            return fromText(*text, true);
        return decodeAnsiGuessingUtf8(body, true);
    }
    if (const std::optional<QString> text = DecodeText(bytes, TextEncoding::Utf8))
        return fromText(*text, false);
    return decodeAnsiGuessingUtf8(bytes, false);
}

QByteArray EncodeUserListFile(const QStringList& lines, ListFileEncoding encoding,
                              const UserListFormat& format) {
    const QString text = lines.join(LineBreakText(format.lineBreak));
    if (encoding == ListFileEncoding::Ansi) return EncodeAnsi(text);
    return EncodeText(text, TextEncoding::Utf8, format.byteOrderMark);
}

QByteArray ReadUserListFile(const QString& path) {
    return ReadFileContents(path, kUserListSizeLimit);
}

} // namespace hl
