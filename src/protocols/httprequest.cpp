#include "protocols/httprequest.h"

#include <initializer_list>
#include <utility>

namespace hl {

namespace {

void appendSevenBit(QByteArray& out, const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool plain = u < 0x80 && (u >= 0x20 || u == '\t');
        out.append(plain ? static_cast<char>(u) : '?');
    }
}

} // namespace

QByteArray buildRequestHead(const TIdHTTPRequest& request, const RequestHeadExtras& extras,
                            TIdHTTPProtocolVersion version) {
    const QString contentLength =
        request.ContentLength >= 0 ? QString::number(request.ContentLength) : QString();
    const QString range = request.Range.text();
    const std::initializer_list<std::pair<const char*, const QString*>> lines = {
        {"Connection", &extras.Connection},
        {"Content-Length", &contentLength},
        {"Content-Type", &request.ContentType},
        {"Cache-control", &request.CacheControl},
        {"Date", &request.Date},
        {"ETag", &request.ETag},
        {"Expires", &request.Expires},
        {"Pragma", &request.Pragma},
        {"Transfer-Encoding", &request.TransferEncoding},
        {"Proxy-Connection", &extras.ProxyConnection},
        {"Host", &request.Host},
        {"Accept", &request.Accept},
        {"Accept-Charset", &request.AcceptCharSet},
        {"Accept-Encoding", &request.AcceptEncoding},
        {"Accept-Language", &request.AcceptLanguage},
        {"From", &request.From},
        {"Referer", &request.Referer},
        {"User-Agent", &request.UserAgent},
        {"Range", &range},
        {"If-Modified-Since", &request.IfModifiedSince},
        {"Authorization", &extras.Authorization},
        {"X-HTTP-Method-Override", &request.MethodOverride},
        {"Proxy-Authorization", &extras.ProxyAuthorization},
        {"Cookie", &extras.Cookie},
    };

    QByteArray head;
    head.reserve(512);
    appendSevenBit(head, request.Method);
    head.append(' ');
    appendSevenBit(head, extras.Target);
    head.append(version == pv1_0 ? " HTTP/1.0\r\n" : " HTTP/1.1\r\n");
    for (const auto& [name, value] : lines) {
        if (value->isEmpty()) continue;
        head.append(name).append(": ");
        appendSevenBit(head, *value);
        head.append("\r\n");
    }
    head.append("\r\n");
    return head;
}

QByteArray buildConnectRequestHead(const QString& target, const QString& host, const QString& userAgent,
                                   const QString& proxyAuthorization, TIdHTTPProtocolVersion version) {
    // The general head writer already has these lines in this order; a fresh request leaves every
    // other line out.
    TIdHTTPRequest connect;
    connect.Method = QStringLiteral("CONNECT");
    connect.Pragma = QStringLiteral("no-cache");
    connect.Host = host;
    connect.UserAgent = userAgent;
    RequestHeadExtras extras;
    extras.Target = target;
    extras.ProxyConnection = QStringLiteral("keep-alive");
    extras.ProxyAuthorization = proxyAuthorization;
    return buildRequestHead(connect, extras, version);
}

} // namespace hl
