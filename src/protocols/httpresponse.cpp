#include "protocols/httpresponse.h"

namespace hl {

void TIdHTTPResponse::Clear() {
    TStream* const stream = ContentStream;
    *this = TIdHTTPResponse();
    ContentStream = stream;
}

void TIdHTTPResponse::ParseStatusLine() {
    ResponseCode = parseResponseCode(ResponseText);
    ResponseVersion = parseResponseVersion(ResponseText);
}

void TIdHTTPResponse::ParseHeaders() {
    ContentLength = parseContentLength(RawHeaders.Value(QStringLiteral("Content-Length")));
    HasContentLength = ContentLength >= 0;
    ContentType = RawHeaders.Value(QStringLiteral("Content-Type"));
    CharSet = headerParameter(ContentType, QStringLiteral("charset"));
    ContentEncoding = RawHeaders.Value(QStringLiteral("Content-Encoding"));
    TransferEncoding = RawHeaders.Value(QStringLiteral("Transfer-Encoding"));
    ContentDisposition = RawHeaders.Value(QStringLiteral("Content-Disposition"));
    ContentRange = parseContentRange(RawHeaders.Value(QStringLiteral("Content-Range")));
    Location = RawHeaders.Value(QStringLiteral("Location"));
    Connection = RawHeaders.Value(QStringLiteral("Connection"));
    ProxyConnection = RawHeaders.Value(QStringLiteral("Proxy-Connection"));
}

bool replyKeepsConnection(const TIdHTTPResponse& reply, bool http11Request, bool proxied) {
    const QString close = QStringLiteral("close");
    const QString keepAlive = QStringLiteral("keep-alive");
    // An HTTP/1.0 peer closes after each reply unless it says otherwise; reusing its connection
    // would send the next request into a socket that is about to close.
    if (http11Request && reply.ResponseVersion != QLatin1String("1.0"))
        return !headerHasToken(reply.Connection, close) &&
               !(proxied && headerHasToken(reply.ProxyConnection, close));
    return headerHasToken(reply.Connection, keepAlive) ||
           (proxied && headerHasToken(reply.ProxyConnection, keepAlive));
}

} // namespace hl
