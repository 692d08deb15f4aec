#include "protocols/contentdecoder.h"

#include <algorithm>
#include <climits>
#include <zlib.h>

namespace hl {

namespace {

constexpr int kOutputBufferSize = 256 * 1024;
constexpr int kGzipWindowBits = 16 + MAX_WBITS; // gzip wrapper only: header parsed, trailer checked
constexpr int kZlibWindowBits = MAX_WBITS;
constexpr int kRawWindowBits = -MAX_WBITS;
constexpr unsigned char kGzipMagic1 = 0x1f;

// RFC 1950: compression method 8, a window of at most 32 KiB, and a header check that makes the
// first two bytes a multiple of 31.
bool startsZlibStream(const QByteArray& first2) {
    const auto cmf = static_cast<unsigned char>(first2[0]);
    const auto flg = static_cast<unsigned char>(first2[1]);
    return (cmf & 0x0f) == Z_DEFLATED && (cmf >> 4) <= 7 && ((cmf << 8) | flg) % 31 == 0;
}

} // namespace

EDecompressionError::EDecompressionError(int zlibError)
    : EIdException(QStringLiteral("ZLib Error (%1)").arg(zlibError)), ZLibError(zlibError) {}

ContentDecoder::ContentDecoder(ContentCoding coding, BodySink& out, qint64 outputLimit)
    : coding_(coding), out_(out), outputLimit_(outputLimit), zs_(std::make_unique<z_stream_s>()),
      outBuffer_(std::make_unique_for_overwrite<char[]>(kOutputBufferSize)) {
    if (coding_ == ContentCoding::Gzip) start(kGzipWindowBits);
}

ContentDecoder::~ContentDecoder() {
    if (started_) inflateEnd(zs_.get());
}

void ContentDecoder::start(int windowBits) {
    *zs_ = z_stream_s{};
    const int result = inflateInit2(zs_.get(), windowBits);
    if (result != Z_OK) throw EDecompressionError(result);
    started_ = true;
}

void ContentDecoder::Write(const char* data, qint64 length) {
    if (length <= 0) return;
    sawInput_ = true;
    if (started_) {
        inflateInput(data, length);
        return;
    }
    // A deflate body: its first two bytes tell a zlib stream from raw deflate data.
    header_.append(data, length);
    if (header_.size() < 2) return;
    start(startsZlibStream(header_) ? kZlibWindowBits : kRawWindowBits);
    const QByteArray first = std::exchange(header_, QByteArray());
    inflateInput(first.constData(), first.size());
}

void ContentDecoder::inflateInput(const char* data, qint64 length) {
    while (length > 0 && !ignoreRest_) {
        if (memberEnded_) {
            // Another gzip member may follow; anything else after the end is padding.
            if (coding_ != ContentCoding::Gzip || static_cast<unsigned char>(*data) != kGzipMagic1) {
                ignoreRest_ = true;
                return;
            }
            inflateReset(zs_.get());
            memberEnded_ = false;
        }
        const auto piece = static_cast<uInt>(std::min<qint64>(length, INT_MAX));
        zs_->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        zs_->avail_in = piece;
        for (;;) {
            zs_->next_out = reinterpret_cast<Bytef*>(outBuffer_.get());
            zs_->avail_out = kOutputBufferSize;
            const int result = inflate(zs_.get(), Z_NO_FLUSH);
            output(outBuffer_.get(), kOutputBufferSize - zs_->avail_out);
            if (result == Z_STREAM_END) {
                memberEnded_ = true;
                break;
            }
            // Z_BUF_ERROR here only means that all input is used up.
            if (result == Z_BUF_ERROR) break;
            if (result != Z_OK) throw EDecompressionError(result);
            if (zs_->avail_in == 0 && zs_->avail_out != 0) break;
        }
        const qint64 consumed = piece - zs_->avail_in;
        if (consumed == 0 && !memberEnded_) throw EDecompressionError(Z_BUF_ERROR);
        data += consumed;
        length -= consumed;
    }
}

void ContentDecoder::output(const char* data, qint64 length) {
    if (outputLimit_ >= 0) length = std::min(length, outputLimit_ - written_);
    if (length <= 0) return;
    out_.Write(data, length);
    written_ += length;
}

void ContentDecoder::Finish() {
    if (!sawInput_) return;
    if (!started_) {
        start(kRawWindowBits);
        const QByteArray first = std::exchange(header_, QByteArray());
        inflateInput(first.constData(), first.size());
    }
    if (!memberEnded_ && !ignoreRest_) throw EDecompressionError(Z_BUF_ERROR);
}

QByteArray ContentDecoder::decodeAll(ContentCoding coding, const QByteArray& body, qint64 outputLimit) {
    struct Collector final : BodySink {
        QByteArray bytes;
        void Write(const char* data, qint64 length) override { bytes.append(data, length); }
    } decoded;
    ContentDecoder decoder(coding, decoded, outputLimit);
    decoder.Write(body.constData(), body.size());
    decoder.Finish();
    return decoded.bytes;
}

} // namespace hl
