#pragma once
// Reading one HTTP reply off a transport: the status line and header lines, then the body in
// whichever framing the headers chose. Every read blocks on the transport (ReadTimeout applies)
// and is bounded: lines by the transport's 16384-character limit, header lines by a count.
#include "protocols/bodysink.h"
#include "protocols/httpresponse.h"
#include "protocols/iohandlersocket.h"

#include <QByteArray>

namespace hl {

// Reads the status line into response.ResponseText, then header lines up to the empty line into
// response.RawHeaders, and parses both. Throws EIdConnClosedGracefully when the peer closes before
// the status line, EIdHTTPMaxHeaderLinesExceeded past maxHeaderLines lines (0: no limit). Returns
// false when the peer closed in the middle of the headers: the lines received so far are kept and
// the connection is closed.
bool readReplyHead(TIdIOHandlerSocket& io, TIdHTTPResponse& response, int maxHeaderLines);
// The same for a status line the caller has already read.
bool readReplyHeadAfter(const QByteArray& statusLine, TIdIOHandlerSocket& io, TIdHTTPResponse& response,
                        int maxHeaderLines);

// Header lines up to the empty line, appended to headers. Returns false (and closes the
// connection) when the peer closed first.
bool readHeaderLines(TIdIOHandlerSocket& io, TIdHeaderList& headers, int maxHeaderLines);

// Exactly length bytes. Throws EIdConnClosedGracefully when the peer closes before all of them
// arrived (what did arrive has been handed to sink).
void readSizedBody(TIdIOHandlerSocket& io, qint64 length, BodySink& sink);

// A chunked body: chunk data to sink, trailer lines appended to trailers. Throws
// EIdConnClosedGracefully when the peer closes inside a chunk, EIdHTTPInvalidChunk on a chunk-size
// line that is not hexadecimal or chunk data not followed by a line end.
void readChunkedBody(TIdIOHandlerSocket& io, BodySink& sink, TIdHeaderList& trailers, int maxTrailerLines);

// Everything until the peer closes the connection.
void readBodyUntilClose(TIdIOHandlerSocket& io, BodySink& sink);

// How a reply delimits its body: chunked, by Content-Length, by a multipart boundary, or by the
// peer's close.
enum class BodyFraming { Chunked, Sized, Multipart, UntilClose };
BodyFraming bodyFramingOf(const TIdHTTPResponse& response);

// Whether the headers announce a body at all: chunked, a Content-Length above 0, or no length
// (the body then ends with its boundary or the connection). Whether one is due also depends on the
// status and the request.
bool headersAnnounceBody(const TIdHTTPResponse& response);

// Reads the body in the framing of its headers into sink, as the functions above do; a chunked
// body's trailer lines are appended to response.RawHeaders.
void readFramedBody(TIdIOHandlerSocket& io, TIdHTTPResponse& response, BodySink& sink, int maxTrailerLines);

// A multipart body without a length: up to and including "--" boundary "--"; the rest of that
// line is dropped. A peer that closes first ends the body. Bytes after the body may have been
// consumed, so the connection cannot carry another reply.
void readMultipartBody(TIdIOHandlerSocket& io, const QByteArray& boundary, BodySink& sink);

} // namespace hl
