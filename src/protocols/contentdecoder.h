#pragma once
// Inflates a gzip or deflate reply body as it arrives, handing the decoded bytes on.
#include "protocols/bodysink.h"
#include "protocols/idexceptions.h"

#include <QByteArray>
#include <memory>

struct z_stream_s;

namespace hl {

// A body that does not decode. The message is "ZLib Error (" + zlib's error number + ")": -3 for
// corrupt data (a gzip member whose CRC-32 or length does not match included), -5 for a body that
// ends before its compressed stream does.
class EDecompressionError : public EIdException {
public:
    explicit EDecompressionError(int zlibError);
    int ZLibError;
};

enum class ContentCoding {
    Gzip,    // RFC 1952 members, header fields skipped, trailer verified
    Deflate, // an RFC 1950 zlib stream, or raw deflate data without the zlib header
};

class ContentDecoder final : public BodySink {
public:
    // out must outlive the decoder. With outputLimit >= 0, decoded bytes beyond that many are
    // dropped (for bodies that are only kept as a message).
    ContentDecoder(ContentCoding coding, BodySink& out, qint64 outputLimit = -1);
    ~ContentDecoder() override;
    ContentDecoder(const ContentDecoder&) = delete;
    ContentDecoder& operator=(const ContentDecoder&) = delete;

    // Decodes the next piece of the body. Throws EDecompressionError.
    void Write(const char* data, qint64 length) override;
    // Declares the body complete. Throws EDecompressionError(-5) when the compressed stream is
    // unfinished. A body of no bytes at all decodes to nothing.
    void Finish();

    // Decodes a whole body into memory, at most outputLimit bytes of it.
    static QByteArray decodeAll(ContentCoding coding, const QByteArray& body, qint64 outputLimit);

private:
    void start(int windowBits);
    void inflateInput(const char* data, qint64 length);
    void output(const char* data, qint64 length);

    ContentCoding coding_;
    BodySink& out_;
    qint64 outputLimit_;
    qint64 written_ = 0;
    std::unique_ptr<z_stream_s> zs_;
    std::unique_ptr<char[]> outBuffer_;
    QByteArray header_; // the first bytes of a deflate body, until they tell zlib from raw data
    bool started_ = false;
    bool sawInput_ = false;
    bool memberEnded_ = false;
    bool ignoreRest_ = false;
};

} // namespace hl
