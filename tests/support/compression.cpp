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

GzipOfZeros gzipOfZeros() {
    GzipOfZeros gzip;
    // A minimal header: magic, deflate, no flags, no time, no extra flags, unknown system.
    gzip.header = QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff", 10);
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    QByteArray zeros(GzipOfZeros::kBlockBytes, '\0');
    QByteArray out(static_cast<qsizetype>(deflateBound(&zs, zeros.size())) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(zeros.data());
    zs.avail_in = static_cast<uInt>(zeros.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    // The full flush ends the piece on a byte boundary and lets nothing after it refer back.
    const int result = deflate(&zs, Z_FULL_FLUSH);
    deflateEnd(&zs);
    if (result != Z_OK || zs.avail_in != 0) throw std::runtime_error("deflate failed");
    out.truncate(static_cast<qsizetype>(zs.total_out));
    gzip.block = out;
    return gzip;
}

QByteArray GzipOfZeros::end(qint64 blocks) const {
    const QByteArray zeros(kBlockBytes, '\0');
    const uLong blockCrc = crc32(0, reinterpret_cast<const Bytef*>(zeros.constData()), kBlockBytes);
    uLong crc = crc32(0, nullptr, 0);
    for (qint64 i = 0; i < blocks; ++i)
        crc = crc32_combine(crc, blockCrc, kBlockBytes);
    const quint32 size = static_cast<quint32>(blocks * kBlockBytes);
    // A final empty fixed-code block, then the CRC-32 and the length modulo 2^32, little-endian.
    QByteArray tail("\x03\x00", 2);
    for (const quint32 word : {static_cast<quint32>(crc), size})
        for (int shift = 0; shift < 32; shift += 8)
            tail.append(static_cast<char>((word >> shift) & 0xFF));
    return tail;
}

} // namespace hl::test
