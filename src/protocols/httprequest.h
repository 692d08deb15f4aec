#pragma once
// The request values of an HTTP client, kept from call to call, and the request head built from
// them.
#include "protocols/httpauthentication.h"
#include "protocols/httpranges.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace hl {

enum TIdHTTPProtocolVersion { pv1_0, pv1_1 };

struct TIdHTTPRequest {
    QString Accept = QStringLiteral("text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    QString AcceptCharSet;
    QString AcceptEncoding;
    QString AcceptLanguage;
    QString UserAgent = QStringLiteral("Mozilla/3.0 (compatible; Harvestline)");
    HttpRanges Range;
    QString CacheControl;
    QString Connection;
    QString ContentType;
    QString Date;
    QString ETag;
    QString Expires;
    QString From;
    QString IfModifiedSince;
    QString MethodOverride; // X-HTTP-Method-Override
    QString Pragma;
    QString ProxyConnection;
    QString Referer;
    QString TransferEncoding;

    // Set by the client for each request.
    QString Host;
    QString Method;
    QString URL;
    qint64 ContentLength = -1; // -1: no Content-Length header
    // From the user-info of the URLs requested.
    QString Username;
    QString Password;
    // The server authenticator, once a 401 challenge was answered.
    std::unique_ptr<HttpAuthenticator> Authentication;
};

// Values of one request head that the client decides per request rather than keeping.
struct RequestHeadExtras {
    QString Target; // what the request line names
    QString Connection;
    QString ProxyConnection;
    QString Authorization;
    QString ProxyAuthorization;
    QString Cookie;
};

// The request head: request line, the header lines that have values in their fixed order, and the
// empty line. Written as 7-bit text: every character above U+007F, and every control character
// but tab, becomes "?" (so no value can end a header line early).
QByteArray buildRequestHead(const TIdHTTPRequest& request, const RequestHeadExtras& extras,
                            TIdHTTPProtocolVersion version);

// The head of a CONNECT request asking an HTTP proxy for a tunnel to target (host ":" port):
// Pragma "no-cache", Proxy-Connection "keep-alive", Host, the default Accept, User-Agent and, when
// not empty, Proxy-Authorization, in that order; never a Cookie or Accept-Encoding.
QByteArray buildConnectRequestHead(const QString& target, const QString& host, const QString& userAgent,
                                   const QString& proxyAuthorization, TIdHTTPProtocolVersion version);

} // namespace hl
