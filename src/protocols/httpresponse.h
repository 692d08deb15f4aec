#pragma once
// The last reply an HTTP client received: its status line, its raw header lines and the fields
// parsed from them.
#include "platform/streams.h"
#include "protocols/httpheaderlist.h"
#include "protocols/httpreplyparser.h"

#include <QString>

namespace hl {

struct TIdHTTPResponse {
    QString ResponseText; // the status line exactly as received
    int ResponseCode = -1;
    QString ResponseVersion; // "1.0", "1.1" or empty
    TIdHeaderList RawHeaders;

    // Parsed from RawHeaders by ParseHeaders().
    qint64 ContentLength = -1; // -1: absent or not a number
    bool HasContentLength = false;
    QString ContentType;
    QString CharSet; // from Content-Type, or found in the body (HTML meta, XML declaration, JSON)
    QString ContentEncoding;
    QString TransferEncoding;
    QString ContentDisposition;
    TIdContentRange ContentRange;
    QString Location;
    QString Connection;
    QString ProxyConnection;
    // Whether the connection may carry the next request, by the client's keep-alive rule.
    bool KeepAlive = false;

    // The destination of the current call (not owned); nullptr when the body is not kept.
    TStream* ContentStream = nullptr;

    // Empties every field but ContentStream.
    void Clear();
    // Sets ResponseCode and ResponseVersion from ResponseText.
    void ParseStatusLine();
    // Sets the parsed fields from RawHeaders.
    void ParseHeaders();
};

// Whether a reply lets its connection carry another request: after an HTTP/1.1 request to an
// HTTP/1.1 peer unless the reply says "close", otherwise only when it says "keep-alive". For a
// reply from a proxy (proxied) its Proxy-Connection value counts as well.
bool replyKeepsConnection(const TIdHTTPResponse& reply, bool http11Request, bool proxied);

} // namespace hl
