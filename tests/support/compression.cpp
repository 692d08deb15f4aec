#include "support/compression.h"

#include <stdexcept>
#include <zlib.h>

namespace hl::test {

namespace {

QByteArray deflateWith(const QByteArray& data, int windowBits) {
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_SPEED, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    QByteArray out(static_cast<qsizetype>(deflateBound(&zs, static_cast<uLong>(data.size()))) + 32, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&zs, Z_FINISH);
    deflateEnd(&zs);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate failed");
    out.truncate(static_cast<qsizetype>(zs.total_out));
    return out;
}

} // namespace

QByteArray gzipBytes(const QByteArray& data) {
    return deflateWith(data, 16 + MAX_WBITS);
}
QByteArray zlibBytes(const QByteArray& data) {
    return deflateWith(data, MAX_WBITS);
}
QByteArray rawDeflateBytes(const QByteArray& data) {
    return deflateWith(data, -MAX_WBITS);
}

} // namespace hl::test
