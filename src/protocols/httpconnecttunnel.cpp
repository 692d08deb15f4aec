#include "protocols/httpconnecttunnel.h"

#include "protocols/httpauthschemes.h"
#include "protocols/httpbodydestination.h"
#include "protocols/httpcharset.h"
#include "protocols/httpexceptions.h"
#include "protocols/httpreplyreader.h"
#include "protocols/iohandlersocket.h"
#include "protocols/ipaddress.h"

namespace hl {

namespace {

// The part of a refusal's body kept as the error's message text.
constexpr qint64 kErrorBodyBytes = 1024 * 1024;

bool isInterim(int code) {
    return code >= 100 && code <= 199 && code != 101;
}

// Whether a body follows the reply head: the headers announce one and the status allows one.
bool bodyFollows(const TIdHTTPResponse& reply, bool headComplete) {
    const int code = reply.ResponseCode;
    return headComplete && code != 204 && code != 304 && headersAnnounceBody(reply);
}

// Reads the reply body into a buffer of up to kErrorBodyBytes; a peer that closes ends it.
QByteArray readReplyBody(TIdIOHandlerSocket& transport, TIdHTTPResponse& reply, int maxTrailerLines) {
    HttpBodyDestination target(nullptr, std::nullopt, kErrorBodyBytes);
    try {
        readFramedBody(transport, reply, target.input(), maxTrailerLines);
    } catch (const EIdConnClosedGracefully&) {
        // What arrived before the close is the whole body.
    }
    return target.prefix();
}

} // namespace

ProxyLineAuthorization::ProxyLineAuthorization(QString username, QString password)
    : username_(std::move(username)), password_(std::move(password)),
      schemes_(std::make_unique<StandardAuthSchemes>()) {}

QString ProxyLineAuthorization::authorization(const QString& target) {
    if (authenticator_) return authenticator_->headerValue(QStringLiteral("CONNECT"), target);
    if (username_.isEmpty()) return QString();
    return QStringLiteral("Basic ") +
           QString::fromLatin1((username_ + QLatin1Char(':') + password_).toUtf8().toBase64());
}

bool ProxyLineAuthorization::answerChallenge(const TIdHTTPResponse& reply) {
    return schemes_->answer(reply.RawHeaders.Values(QStringLiteral("Proxy-Authenticate")), username_,
                            password_, authenticator_);
}

std::unique_ptr<ConnectionTunnel> HttpConnectTunnel::clone() const {
    return std::make_unique<HttpConnectTunnel>(*this);
}

ConnectAuthorization& HttpConnectTunnel::authorizationHook() {
    if (!Authorization) Authorization = std::make_shared<ProxyLineAuthorization>(Username, Password);
    return *Authorization;
}

void HttpConnectTunnel::handshake(TIdIOHandlerSocket& transport, const QString& targetHost,
                                  quint16 targetPort) {
    const ReceiveHookPause pause(transport);
    ConnectAuthorization& hook = authorizationHook();
    const QString target = hostAndPort(targetHost, targetPort);
    for (int challenges = 0;; ++challenges) {
        transport.Write(
            buildConnectRequestHead(target, target, UserAgent, hook.authorization(target), ProtocolVersion));
        TIdHTTPResponse reply;
        bool headComplete = false;
        do {
            // The whole head comes within the read time-out, as the HTTP client's replies do.
            const ReadDeadlineScope deadline(transport, transport.ReadTimeout);
            const QByteArray statusLine = transport.ReadLn();
            // Some proxies answer with an empty line alone: that counts as consent.
            if (statusLine.isEmpty()) return;
            reply.Clear();
            headComplete = readReplyHeadAfter(statusLine, transport, reply, MaxHeaderLines);
            hook.replyReceived(reply);
        } while (isInterim(reply.ResponseCode));

        const int code = reply.ResponseCode;
        if (code >= 200 && code <= 299) return;
        if (code == 407 && challenges < kMaxAuthRetries && hook.answerChallenge(reply)) {
            // The challenge's body is no part of the tunnel. A proxy that closes with it (or whose
            // body ends only with the connection) gets the next CONNECT on a new connection.
            const bool body = bodyFollows(reply, headComplete);
            if (body) readReplyBody(transport, reply, MaxHeaderLines);
            const bool reusable = headComplete && !(body && bodyFramingOf(reply) == BodyFraming::Multipart) &&
                                  replyKeepsConnection(reply, ProtocolVersion == pv1_1, true) &&
                                  transport.DiscardInputAndCheck();
            if (!reusable) transport.Reconnect();
            continue;
        }
        const QByteArray body =
            bodyFollows(reply, headComplete) ? readReplyBody(transport, reply, MaxHeaderLines) : QByteArray();
        throw EIdHTTPProtocolException(reply.ResponseText, code, decodeText(body, reply.CharSet));
    }
}

} // namespace hl
