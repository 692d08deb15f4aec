#include "protocols/httpreplyreader.h"

#include "protocols/httpexceptions.h"
#include "protocols/httpreplyparser.h"

#include <algorithm>
#include <memory>

namespace hl {

namespace {

// Large blocks let body bytes go from the socket to the destination in few system calls.
constexpr qint64 kBlockSize = 256 * 1024;

std::unique_ptr<char[]> newBlock() {
    return std::make_unique_for_overwrite<char[]>(kBlockSize);
}

// Hands exactly count bytes to sink; false when the peer closed first.
bool copyExactly(TIdIOHandlerSocket& io, qint64 count, char* block, BodySink& sink) {
    while (count > 0) {
        const qint64 n = io.ReadSome(block, std::min(count, kBlockSize));
        if (n == 0) return false;
        sink.Write(block, n);
        count -= n;
    }
    return true;
}

} // namespace

bool readReplyHead(TIdIOHandlerSocket& io, TIdHTTPResponse& response, int maxHeaderLines) {
    return readReplyHeadAfter(io.ReadLn(), io, response, maxHeaderLines);
}

bool readReplyHeadAfter(const QByteArray& statusLine, TIdIOHandlerSocket& io, TIdHTTPResponse& response,
                        int maxHeaderLines) {
    response.ResponseText = decodeHeaderBytes(statusLine);
    response.ParseStatusLine();
    const bool complete = readHeaderLines(io, response.RawHeaders, maxHeaderLines);
    response.ParseHeaders();
    return complete;
}

bool readHeaderLines(TIdIOHandlerSocket& io, TIdHeaderList& headers, int maxHeaderLines) {
    for (int count = 0;; ++count) {
        QByteArray line;
        try {
            line = io.ReadLn();
        } catch (const EIdConnClosedGracefully&) {
            // What came of an unfinished line is no header and no body.
            io.Close();
            return false;
        }
        if (line.isEmpty()) return true;
        if (maxHeaderLines > 0 && count >= maxHeaderLines) throw EIdHTTPMaxHeaderLinesExceeded();
        headers.AddLine(decodeHeaderBytes(line));
    }
}

void readSizedBody(TIdIOHandlerSocket& io, qint64 length, BodySink& sink) {
    const auto block = newBlock();
    if (!copyExactly(io, length, block.get(), sink)) throw EIdConnClosedGracefully();
}

void readChunkedBody(TIdIOHandlerSocket& io, BodySink& sink, TIdHeaderList& trailers, int maxTrailerLines) {
    const auto block = newBlock();
    for (;;) {
        const auto size = parseChunkSize(io.ReadLn());
        if (!size) throw EIdHTTPInvalidChunk();
        if (*size == 0) break;
        if (!copyExactly(io, *size, block.get(), sink)) throw EIdConnClosedGracefully();
        if (!io.ReadLn().isEmpty()) throw EIdHTTPInvalidChunk();
    }
    // All data has arrived; a peer that closes without the final empty line loses nothing.
    readHeaderLines(io, trailers, maxTrailerLines);
}

void readBodyUntilClose(TIdIOHandlerSocket& io, BodySink& sink) {
    const auto block = newBlock();
    while (const qint64 n = io.ReadSome(block.get(), kBlockSize))
        sink.Write(block.get(), n);
}

void readMultipartBody(TIdIOHandlerSocket& io, const QByteArray& boundary, BodySink& sink) {
    if (boundary.isEmpty()) {
        readBodyUntilClose(io, sink);
        return;
    }
    const QByteArray terminator = "--" + boundary + "--";
    const auto block = newBlock();
    // The tail of what was read that could be the start of the terminator.
    QByteArray window;
    for (;;) {
        const qint64 n = io.ReadSome(block.get(), kBlockSize);
        if (n == 0) {
            sink.Write(window.constData(), window.size());
            return;
        }
        window.append(block.get(), n);
        const qsizetype found = window.indexOf(terminator);
        if (found >= 0) {
            const qsizetype end = found + terminator.size();
            sink.Write(window.constData(), end);
            if (window.indexOf('\n', end) < 0) {
                try {
                    io.ReadLn();
                } catch (const EIdConnClosedGracefully&) {
                    // The body is complete; the line end simply never came.
                }
            }
            return;
        }
        const qsizetype keep = std::min<qsizetype>(window.size(), terminator.size() - 1);
        sink.Write(window.constData(), window.size() - keep);
        window.remove(0, window.size() - keep);
    }
}

BodyFraming bodyFramingOf(const TIdHTTPResponse& response) {
    if (response.TransferEncoding.contains(QLatin1String("chunked"), Qt::CaseInsensitive))
        return BodyFraming::Chunked;
    if (response.HasContentLength) return BodyFraming::Sized;
    if (response.ContentType.trimmed().startsWith(QLatin1String("multipart/"), Qt::CaseInsensitive))
        return BodyFraming::Multipart;
    return BodyFraming::UntilClose;
}

bool headersAnnounceBody(const TIdHTTPResponse& response) {
    return bodyFramingOf(response) != BodyFraming::Sized || response.ContentLength > 0;
}

void readFramedBody(TIdIOHandlerSocket& io, TIdHTTPResponse& response, BodySink& sink, int maxTrailerLines) {
    switch (bodyFramingOf(response)) {
    case BodyFraming::Chunked:
        readChunkedBody(io, sink, response.RawHeaders, maxTrailerLines);
        return;
    case BodyFraming::Sized:
        readSizedBody(io, response.ContentLength, sink);
        return;
    case BodyFraming::Multipart:
        readMultipartBody(io, headerParameter(response.ContentType, QStringLiteral("boundary")).toLatin1(),
                          sink);
        return;
    case BodyFraming::UntilClose:
        readBodyUntilClose(io, sink);
        return;
    }
}

} // namespace hl
