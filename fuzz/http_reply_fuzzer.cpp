// libFuzzer target for everything the HTTP client reads from a server: the status line and header
// lines, body framing (Content-Length, chunks with trailers, multipart, until close), gzip and
// deflate decoding, the character set found in a body, and the Location as a URL to merge.
//
// The first input byte picks how the rest arrives (piece sizes) and which decoding applies; the
// rest is the server's byte stream, fed through the real transport's line and block reading.
#include "protocols/compressorzlib.h"
#include "protocols/contentdecoder.h"
#include "protocols/httpcharset.h"
#include "protocols/httpreplyreader.h"
#include "protocols/httpuri.h"

#include <algorithm>
#include <cstring>

namespace {

// A transport whose raw byte layer is the fuzz input, handed out in pieces of a chosen size.
class MemoryTransport final : public hl::TIdIOHandlerSocket {
public:
    MemoryTransport(const uint8_t* data, size_t size, size_t piece)
        : data_(data), size_(size), piece_(piece) {}
    void Close() override {
        closed_ = true;
        TIdIOHandlerSocket::Close();
    }

protected:
    qint64 RecvRaw(char* destination, qint64 capacity, int) override {
        if (closed_) throw hl::EIdNotConnected();
        const size_t n = std::min({static_cast<size_t>(capacity), size_ - at_, piece_});
        std::memcpy(destination, data_ + at_, n);
        at_ += n;
        return static_cast<qint64>(n);
    }
    bool HasPendingRaw() const override { return !closed_ && at_ < size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t piece_;
    size_t at_ = 0;
    bool closed_ = false;
};

// Keeps the first bytes of the body for the character-set scanners, counts the rest.
class Sink final : public hl::BodySink {
public:
    void Write(const char* data, qint64 length) override {
        if (prefix.size() < 65536) prefix.append(data, std::min<qint64>(length, 65536 - prefix.size()));
        total += length;
    }
    QByteArray prefix;
    qint64 total = 0;
};

void readBody(hl::TIdIOHandlerSocket& io, hl::TIdHTTPResponse& response, hl::BodySink& sink) {
    if (response.TransferEncoding.contains(QLatin1String("chunked"), Qt::CaseInsensitive)) {
        hl::readChunkedBody(io, sink, response.RawHeaders, 255);
    } else if (response.HasContentLength) {
        hl::readSizedBody(io, response.ContentLength, sink);
    } else if (response.ContentType.startsWith(QLatin1String("multipart/"), Qt::CaseInsensitive)) {
        hl::readMultipartBody(
            io, hl::headerParameter(response.ContentType, QStringLiteral("boundary")).toLatin1(), sink);
    } else {
        hl::readBodyUntilClose(io, sink);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t control = data[0];
    const size_t piece = (control & 0x0f) == 0 ? 65536 : (control & 0x0f);
    MemoryTransport io(data + 1, size - 1, piece);
    hl::TIdHTTPResponse response;
    Sink sink;
    try {
        hl::readReplyHead(io, response, 255);
        hl::TIdURI target = hl::parseURI(QStringLiteral("http://h/a/b/c"));
        hl::mergeURI(target, hl::parseURI(response.Location));
        hl::absoluteURI(target);
        const auto coding = hl::TIdCompressorZLib().codingFor(response.ContentEncoding);
        if (coding && (control & 0x10)) {
            hl::ContentDecoder decoder(*coding, sink);
            readBody(io, response, decoder);
            decoder.Finish();
        } else {
            readBody(io, response, sink);
        }
    } catch (const hl::Exception&) {
        // Every failure a server can cause is one of the client's errors; anything else is a finding.
    }
    const hl::HtmlMetaDeclarations meta = hl::scanHtmlMeta(sink.prefix);
    hl::decodeText(sink.prefix, meta.charset.isEmpty() ? hl::xmlDeclaredEncoding(sink.prefix) : meta.charset);
    hl::decodeText(sink.prefix, hl::jsonEncoding(sink.prefix));
    hl::parseContentRange(response.RawHeaders.Value(QStringLiteral("Content-Range")));
    return 0;
}
