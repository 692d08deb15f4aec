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

} // namespace hl
