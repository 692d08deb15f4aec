#pragma once
// Compressed bodies for tests of content decoding, made with zlib.
#include <QByteArray>

namespace hl::test {

// A gzip member (RFC 1952) with a minimal header.
QByteArray gzipBytes(const QByteArray& data);
// A zlib stream (RFC 1950).
QByteArray zlibBytes(const QByteArray& data);
// Raw deflate data (RFC 1951), without any wrapper.
QByteArray rawDeflateBytes(const QByteArray& data);

// A gzip member of many MiB of zero bytes, sent piece by piece without compressing them all: the
// header, then `block` any number of times (each piece inflates to one MiB of zeros and needs
// nothing before it), then the end for that number of pieces.
struct GzipOfZeros {
    static constexpr qint64 kBlockBytes = 1024 * 1024;
    QByteArray header;
    QByteArray block;
    QByteArray end(qint64 blocks) const;
};
GzipOfZeros gzipOfZeros();

} // namespace hl::test
