#pragma once
// Text files in the encodings this program reads and writes: UTF-8, UTF-16 chosen by a byte-order
// mark, and the ANSI code page as the fallback that never fails.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace hl {

enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Ansi };

struct ByteOrderMark {
    TextEncoding encoding;
    qsizetype length; // bytes the mark takes at the start of the file
};

// The mark at the start of `bytes` (UTF-8 EF BB BF, UTF-16 LE FF FE, UTF-16 BE FE FF), if any.
std::optional<ByteOrderMark> DetectByteOrderMark(QByteArrayView bytes);

// Decodes `bytes` (without a mark) in `encoding`; nullopt when they are not valid there (bad UTF-8,
// an odd UTF-16 length or an unpaired surrogate). The ANSI code page decodes every byte.
std::optional<QString> DecodeText(QByteArrayView bytes, TextEncoding encoding);

// Encodes `text`, preceded by the encoding's mark when `withByteOrderMark` (the ANSI code page has
// none).
QByteArray EncodeText(QStringView text, TextEncoding encoding, bool withByteOrderMark);

struct DecodedTextFile {
    QString text;
    TextEncoding encoding; // what the bytes were read as
    bool byteOrderMark;    // whether the file began with a mark
};

// Reads a whole text file's bytes the way list files are read: a byte-order mark decides the
// encoding, otherwise UTF-8; bytes that are not valid in that encoding are read (after the mark)
// in the ANSI code page instead, so no byte is ever lost.
DecodedTextFile DecodeTextFile(QByteArrayView bytes);

} // namespace hl
