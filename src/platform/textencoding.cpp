#include "platform/textencoding.h"

#include "platform/ansicodepage.h"
#include "platform/utf8check.h"

#include <QStringDecoder>

namespace hl {
namespace {

std::optional<QString> decodeUtf16(QByteArrayView bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    QString text(bytes.size() / 2, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        *out++ = QChar(bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return std::nullopt;
    }
    return text;
}

QByteArray encodeUtf16(QStringView text, bool bigEndian) {
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        *out++ = bigEndian ? high : low;
        *out++ = bigEndian ? low : high;
    }
    return bytes;
}

} // namespace

std::optional<ByteOrderMark> DetectByteOrderMark(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return ByteOrderMark{TextEncoding::Utf8, 3};
    if (bytes.startsWith("\xFF\xFE")) return ByteOrderMark{TextEncoding::Utf16LE, 2};
    if (bytes.startsWith("\xFE\xFF")) return ByteOrderMark{TextEncoding::Utf16BE, 2};
    return std::nullopt;
}

std::optional<QString> DecodeText(QByteArrayView bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        if (!IsValidUtf8(bytes)) return std::nullopt;
        // QString::fromUtf8 would drop a second mark at the start, which is a character of the text.
        return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom)
            .decode(bytes);
    case TextEncoding::Utf16LE:
        return decodeUtf16(bytes, false);
    case TextEncoding::Utf16BE:
        return decodeUtf16(bytes, true);
    case TextEncoding::Ansi:
        return DecodeAnsi(bytes);
    }
    return std::nullopt;
}

QByteArray EncodeText(QStringView text, TextEncoding encoding, bool withByteOrderMark) {
    QByteArray mark;
    QByteArray body;
    switch (encoding) {
    case TextEncoding::Utf8:
        mark = QByteArrayLiteral("\xEF\xBB\xBF");
        body = text.toUtf8();
        break;
    case TextEncoding::Utf16LE:
        mark = QByteArrayLiteral("\xFF\xFE");
        body = encodeUtf16(text, false);
        break;
    case TextEncoding::Utf16BE:
        mark = QByteArrayLiteral("\xFE\xFF");
        body = encodeUtf16(text, true);
        break;
    case TextEncoding::Ansi:
        return EncodeAnsi(text);
    }
    return withByteOrderMark ? mark + body : body;
}

DecodedTextFile DecodeTextFile(QByteArrayView bytes) {
    const std::optional<ByteOrderMark> mark = DetectByteOrderMark(bytes);
    const QByteArrayView body = mark ? bytes.sliced(mark->length) : bytes;
    const TextEncoding encoding = mark ? mark->encoding : TextEncoding::Utf8;
    if (std::optional<QString> text = DecodeText(body, encoding))
        return {std::move(*text), encoding, mark.has_value()};
    return {DecodeAnsi(body), TextEncoding::Ansi, mark.has_value()};
}

} // namespace hl
