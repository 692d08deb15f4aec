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

} // namespace hl::test
