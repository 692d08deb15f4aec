#include "protocols/httpconnecttunnel.h"

#include "protocols/httpexceptions.h"
#include "protocols/httpreplyparser.h"
#include "protocols/iohandlersocket.h"

namespace hl {

std::unique_ptr<ConnectionTunnel> HttpConnectTunnel::clone() const {
    return std::make_unique<HttpConnectTunnel>(*this);
}

QByteArray HttpConnectTunnel::connectRequest(const QString& targetHost, quint16 targetPort) const {
    const QString host =
        targetHost.contains(QLatin1Char(':')) ? QLatin1Char('[') + targetHost + QLatin1Char(']') : targetHost;
    const QByteArray authority = host.toLatin1() + ':' + QByteArray::number(targetPort);
    QByteArray request = "CONNECT " + authority + " HTTP/1.1\r\n" + "Host: " + authority + "\r\n" +
                         "Proxy-Connection: keep-alive\r\n";
    if (!Username.isEmpty())
        request += "Proxy-Authorization: Basic " +
                   (Username + QLatin1Char(':') + Password).toUtf8().toBase64() + "\r\n";
    return request + "\r\n";
}

void HttpConnectTunnel::handshake(TIdIOHandlerSocket& transport, const QString& targetHost,
                                  quint16 targetPort) {
    transport.Write(connectRequest(targetHost, targetPort));
    const QByteArray statusLine = transport.ReadLn();
    // Some proxies answer with an empty line alone; the HTTP client takes that as consent too.
    if (statusLine.isEmpty()) return;
    int headerLines = 0;
    while (!transport.ReadLn().isEmpty())
        if (++headerLines > kMaxHeaderLines) throw EIdHTTPMaxHeaderLinesExceeded();
    const QString status = decodeHeaderBytes(statusLine);
    const int code = parseResponseCode(status);
    if (code < 200 || code > 299) throw EIdHTTPProtocolException(status, code, QString());
}

} // namespace hl
