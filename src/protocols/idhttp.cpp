#include "protocols/idhttp.h"

#include "protocols/formencoding.h"
#include "protocols/httpauthschemes.h"
#include "protocols/httpbodydestination.h"
#include "protocols/httpcharset.h"
#include "protocols/httpconnecttunnel.h"
#include "protocols/httpcookiejar.h"
#include "protocols/httpexceptions.h"
#include "protocols/httpreplyreader.h"
#include "protocols/idexceptions.h"
#include "protocols/socketerror.h"
#include "protocols/ssliohandlerbase.h"

#include <QStringList>
#include <QUrl>

namespace hl {

namespace {

// The leading body bytes kept for character-set detection, and the part of an error body kept as
// the error's message text.
constexpr qint64 kCharsetSniffBytes = 64 * 1024;
constexpr qint64 kErrorBodyBytes = 1024 * 1024;
// How long a redirect's announced body may take to start, and how long unexpected data is awaited.
constexpr int kRedirectBodyWaitMs = 5000;
constexpr int kUnexpectedDataWaitMs = 100;

bool sameText(const QString& a, const char* b) {
    return a.trimmed().compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

QString originOf(const TIdURI& uri) {
    return uri.Protocol + QLatin1String("://") + authorityWithPort(uri);
}

QString peerOf(const TIdProxyConnectionInfo& proxy) {
    return proxy.ProxyServer + QLatin1Char(':') + QString::number(proxy.ProxyPort);
}

// Lends the client's tunnel to its transport for one Open, so that the transport never keeps a
// tunnel whose hook points into the client.
class ClientTunnelLoan {
public:
    ClientTunnelLoan(TIdIOHandlerSocket& transport, std::shared_ptr<ConnectionTunnel> tunnel)
        : transport_(transport) {
        transport_.SetClientTunnel(std::move(tunnel));
    }
    ~ClientTunnelLoan() { transport_.SetClientTunnel(nullptr); }
    ClientTunnelLoan(const ClientTunnelLoan&) = delete;
    ClientTunnelLoan& operator=(const ClientTunnelLoan&) = delete;

private:
    TIdIOHandlerSocket& transport_;
};

} // namespace

// A CONNECT's challenge is answered with the proxy credentials and retry count of the call, and
// its reply is the client's Response, as for any request the proxy answers.
class TIdHTTP::TunnelAuthorization final : public ConnectAuthorization {
public:
    explicit TunnelAuthorization(TIdHTTP& client) : client_(client) {}
    QString authorization(const QString& target) override {
        const auto& authenticator = client_.ProxyParams.Authentication;
        return authenticator ? authenticator->headerValue(QStringLiteral("CONNECT"), target) : QString();
    }
    bool answerChallenge(const TIdHTTPResponse&) override { return client_.answerChallenge(true); }
    void replyReceived(const TIdHTTPResponse& reply) override { client_.takeTunnelReply(reply); }

private:
    TIdHTTP& client_;
};

TIdHTTP::TIdHTTP()
    : AuthSchemes(std::make_shared<StandardAuthSchemes>()), work_(OnWorkBegin, OnWork, OnWorkEnd),
      tunnelAuthorization_(std::make_shared<TunnelAuthorization>(*this)) {}

TIdHTTP::~TIdHTTP() {
    Disconnect();
    // The transport may outlive the client; its hook must not call into a client that is gone.
    if (IOHandler) IOHandler->OnReceived = nullptr;
}

void TIdHTTP::Get(const QString& url, TStream* destination) {
    DoRequest(QStringLiteral("GET"), url, nullptr, destination);
}

void TIdHTTP::Head(const QString& url) {
    DoRequest(QStringLiteral("HEAD"), url, nullptr, nullptr);
}

QString TIdHTTP::Post(const QString& url, const QStringList& lines) {
    if (Request.ContentType.isEmpty() || isHtmlMediaType(Request.ContentType))
        Request.ContentType = QStringLiteral("application/x-www-form-urlencoded");
    const QByteArray body = encodeFormLines(lines, HTTPOptions.testFlag(hoForceEncodeParams));
    TMemoryStream reply;
    DoRequest(QStringLiteral("POST"), url, &body, &reply);
    return decodeText(reply.Data(), Response.CharSet);
}

void TIdHTTP::Disconnect() {
    if (IOHandler) IOHandler->Close();
    reusable_ = false;
}

bool TIdHTTP::Connected() const {
    return IOHandler && IOHandler->Connected();
}

TIdIOHandlerSocket& TIdHTTP::io() {
    return *IOHandler;
}

TIdSSLIOHandlerSocketBase* TIdHTTP::tlsTransport() const {
    return dynamic_cast<TIdSSLIOHandlerSocketBase*>(IOHandler.get());
}

void TIdHTTP::DoRequest(const QString& method, const QString& url, const QByteArray* body,
                        TStream* destination) {
    redirectCount_ = 0;
    authRetries_ = 0;
    authProxyRetries_ = 0;
    const qint64 startPosition = destination ? destination->Position() : 0;
    Request.URL = url;
    Request.Method = method;
    body_ = body;
    Response.ContentStream = destination;
    try {
        bool newTarget = true;
        for (;;) {
            prepareRequest(newTarget);
            exchangeHead();
            const ReplyOutcome outcome = handleReply(destination);
            if (outcome == ReplyOutcome::Finish) break;
            // The challenged request goes again to its target as merged: a relative Location merged
            // twice would name another place.
            newTarget = outcome == ReplyOutcome::FollowRedirect;
            if (newTarget) {
                authRetries_ = 0;
                authProxyRetries_ = 0;
            }
            // Nothing of an intermediate reply stays in the destination.
            if (destination) {
                destination->SetSize(startPosition);
                destination->Seek(startPosition);
            }
        }
    } catch (...) {
        if (!reusable_ || !Connected()) Disconnect();
        throw;
    }
    if (!reusable_ || !Connected()) Disconnect();
}

// ---- Request ----------------------------------------------------------------------------------

void TIdHTTP::prepareRequest(bool newTarget) {
    if (newTarget) mergeTarget();
    static const QStringList kNeedVersion11 = {QStringLiteral("TRACE"), QStringLiteral("PUT"),
                                               QStringLiteral("OPTIONS"), QStringLiteral("DELETE"),
                                               QStringLiteral("PATCH")};
    if (ProtocolVersion == pv1_0 && kNeedVersion11.contains(Request.Method))
        throw EIdHTTPMethodRequiresVersion11();
    if (body_) {
        Request.ContentLength = body_->size();
    } else {
        const bool bodyMethod =
            Request.Method == QLatin1String("POST") || Request.Method == QLatin1String("PUT");
        Request.ContentLength = bodyMethod ? 0 : -1;
    }
    Request.Host = hostHeaderValue(uri_, ProxyParams.enabled());
    offerContentCodings();
    forgetAuthenticationOfOtherPeers();
}

void TIdHTTP::mergeTarget() {
    const TIdURI next = parseURI(Request.URL);
    mergeURI(uri_, next);
    if (!next.Username.isEmpty()) {
        // User-info is percent-encoded in a URL; a password with "/" or "@" can only come that way.
        Request.Username = QUrl::fromPercentEncoding(next.Username.toUtf8());
        Request.Password = QUrl::fromPercentEncoding(next.Password.toUtf8());
    }
}

void TIdHTTP::forgetAuthenticationOfOtherPeers() {
    if (ProxyParams.Authentication && peerOf(ProxyParams) != proxyAuthPeer_)
        ProxyParams.Authentication.reset();
}

void TIdHTTP::offerContentCodings() {
    QString& offered = Request.AcceptEncoding;
    if (Compressor) {
        for (const QString& coding : {QStringLiteral("deflate"), QStringLiteral("gzip")}) {
            if (offered.contains(coding, Qt::CaseInsensitive)) continue;
            offered = offered.isEmpty() ? coding : offered + QLatin1String(", ") + coding;
        }
    }
    if (!offered.isEmpty() && !offered.contains(QLatin1String("identity"), Qt::CaseInsensitive))
        offered += QLatin1String(", identity");
}

QString TIdHTTP::connectionValue() const {
    if (!Request.Connection.isEmpty()) return Request.Connection;
    // HTTP/1.0 closes after every reply unless asked otherwise; through a proxy the proxy is asked.
    return ProtocolVersion == pv1_0 && !sent_.toProxy ? QStringLiteral("keep-alive") : QString();
}

QString TIdHTTP::proxyConnectionValue() const {
    if (!sent_.toProxy) return QString();
    if (!Request.ProxyConnection.isEmpty()) return Request.ProxyConnection;
    const bool ask = ProtocolVersion == pv1_0 && Request.Connection.isEmpty();
    return ask ? QStringLiteral("keep-alive") : QString();
}

void TIdHTTP::sendRequest() {
    openConnection();
    io().ReadTimeout = ReadTimeout;
    io().OnReceived = [this](qint64 bytes) { work_.add(wmRead, bytes); };
    Response.Clear();
    reusable_ = false;
    // Inside a CONNECT tunnel the request goes to the server as a direct one would.
    sent_.toProxy = connectedKind_ == ConnectionKind::Proxy;
    sent_.head = Request.Method == QLatin1String("HEAD") || Request.MethodOverride == QLatin1String("HEAD");

    RequestHeadExtras extras;
    extras.Target = sent_.toProxy ? absoluteURI(uri_) : requestTarget(uri_);
    extras.Connection = connectionValue();
    extras.ProxyConnection = proxyConnectionValue();
    if (Request.Authentication && originOf(uri_) == serverAuthOrigin_)
        extras.Authorization = Request.Authentication->headerValue(Request.Method, extras.Target);
    // Proxy credentials are for the proxy alone, never for the server at the end of a tunnel.
    if (ProxyParams.Authentication && sent_.toProxy)
        extras.ProxyAuthorization = ProxyParams.Authentication->headerValue(Request.Method, extras.Target);
    if (AllowCookies && CookieManager) extras.Cookie = CookieManager->cookieHeader(uri_);

    QByteArray head = buildRequestHead(Request, extras, ProtocolVersion);
    if (body_) head += *body_;
    io().Write(head);
}

void TIdHTTP::exchangeHead() {
    try {
        sendRequest();
        receiveReplyHead();
    } catch (const EIdException& error) {
        if (!lostIdleConnection(error)) throw;
        // The peer closed the kept connection while it was idle (many proxies close after every
        // reply without saying so); the request never reached it, so it goes again on a new one.
        Disconnect();
        sendRequest();
        receiveReplyHead();
    }
}

bool TIdHTTP::lostIdleConnection(const EIdException& error) const {
    const bool repeatable =
        !body_ && (Request.Method == QLatin1String("GET") || Request.Method == QLatin1String("HEAD"));
    if (!reusedConnection_ || !repeatable) return false;
    if (dynamic_cast<const EIdConnClosedGracefully*>(&error)) return true;
    const auto* socketError = dynamic_cast<const EIdSocketError*>(&error);
    return socketError &&
           (socketError->LastError == WSAECONNRESET || socketError->LastError == WSAECONNABORTED ||
            socketError->LastError == WSAESHUTDOWN);
}

// ---- Connection -------------------------------------------------------------------------------

TIdHTTP::ConnectionKind TIdHTTP::connectionKind() const {
    if (ProxyParams.enabled()) return isHttps(uri_) ? ConnectionKind::TlsThroughProxy : ConnectionKind::Proxy;
    return isHttps(uri_) ? ConnectionKind::Tls : ConnectionKind::Plain;
}

void TIdHTTP::openConnection() {
    const ConnectionKind kind = connectionKind();
    const bool proxied = ProxyParams.enabled();
    const QString host = proxied ? ProxyParams.ProxyServer : uri_.Host;
    const quint16 port = proxied ? ProxyParams.ProxyPort : connectPort(uri_);
    const QString destination = uri_.Host + QLatin1Char(':') + uri_.Port;

    if (IOHandler && IOHandler->Connected()) {
        const bool sameConnection =
            kind == connectedKind_ && host == connectedHost_ && port == connectedPort_ && reusable_ &&
            (kind != ConnectionKind::TlsThroughProxy || destination == connectedDestination_);
        if (!sameConnection) IOHandler->Close();
    }
    // Input left over from an earlier exchange belongs to no request; a peer that closed in the
    // meantime means a new connection.
    reusedConnection_ = IOHandler && IOHandler->Connected() && IOHandler->DiscardInputAndCheck();
    if (reusedConnection_) {
        if (auto* tls = tlsTransport()) tls->URIToCheck = absoluteURI(uri_);
        return;
    }

    TIdIOHandlerSocket& transport = transportFor(kind);
    transport.Close();
    // Through a CONNECT tunnel the transport's target is the server; the proxy is the tunnel's.
    const bool tunneled = kind == ConnectionKind::TlsThroughProxy;
    transport.Host = tunneled ? uri_.Host : host;
    transport.Port = tunneled ? connectPort(uri_) : port;
    transport.ConnectTimeout = ConnectTimeout;
    transport.ReadTimeout = ReadTimeout;
    {
        const ClientTunnelLoan loan(transport, tunneled ? proxyTunnel() : nullptr);
        transport.Open();
    }
    connectedKind_ = kind;
    connectedHost_ = host;
    connectedPort_ = port;
    connectedDestination_ = destination;
}

TIdIOHandlerSocket& TIdHTTP::transportFor(ConnectionKind kind) {
    const bool needsTls = kind == ConnectionKind::Tls || kind == ConnectionKind::TlsThroughProxy;
    const bool ownAndUnfit = IOHandler && IOHandler == ownTransport_ && needsTls && !tlsTransport();
    if (!IOHandler || ownAndUnfit) {
        if (needsTls)
            ownTransport_ = makeDefaultSSLIOHandler();
        else
            ownTransport_ = std::make_shared<TIdIOHandlerSocket>();
        IOHandler = ownTransport_;
    }
    TIdSSLIOHandlerSocketBase* const tls = tlsTransport();
    if (needsTls && !tls) throw EIdIOHandlerPropInvalid();
    if (tls) {
        tls->URIToCheck = absoluteURI(uri_);
        // Through a CONNECT tunnel the handshake runs once the tunnel is open, inside it.
        tls->SetPassThrough(!needsTls);
    }
    return *IOHandler;
}

std::shared_ptr<HttpConnectTunnel> TIdHTTP::proxyTunnel() const {
    auto tunnel = std::make_shared<HttpConnectTunnel>();
    tunnel->Host = ProxyParams.ProxyServer;
    tunnel->Port = ProxyParams.ProxyPort;
    tunnel->UserAgent = Request.UserAgent;
    tunnel->ProtocolVersion = ProtocolVersion;
    tunnel->MaxHeaderLines = MaxHeaderLines;
    tunnel->Authorization = tunnelAuthorization_;
    return tunnel;
}

void TIdHTTP::takeTunnelReply(const TIdHTTPResponse& reply) {
    TStream* const destination = Response.ContentStream;
    Response = reply;
    Response.ContentStream = destination;
    storeReplyCookies();
}

bool TIdHTTP::replyAllowsKeepAlive() const {
    const bool proxied = sent_.toProxy;
    if (sameText(connectionValue(), "close")) return false;
    if (proxied && sameText(proxyConnectionValue(), "close")) return false;
    return replyKeepsConnection(Response, ProtocolVersion == pv1_1, proxied);
}

// ---- Reply ------------------------------------------------------------------------------------

bool TIdHTTP::receiveReplyHead(bool emptyLineIsConsent) {
    for (;;) {
        // The whole head, not only each wait within it, comes within the read time-out: a server
        // dripping a byte now and then would otherwise hold the download for as long as it likes.
        const ReadDeadlineScope deadline(io(), ReadTimeout);
        const QByteArray statusLine = io().ReadLn();
        if (statusLine.isEmpty() && emptyLineIsConsent) return false;
        headComplete_ = readReplyHeadAfter(statusLine, io(), Response, MaxHeaderLines);
        storeReplyCookies();
        const int code = Response.ResponseCode;
        if (code < 100 || code > 199 || code == 101) break;
        Response.Clear();
    }
    Response.KeepAlive = replyAllowsKeepAlive();
    return true;
}

void TIdHTTP::storeReplyCookies() {
    if (!AllowCookies) return;
    if (!CookieManager) CookieManager = std::make_shared<HttpCookieJar>();
    CookieManager->storeReplyCookies(uri_, Response.RawHeaders);
}

TIdHTTP::ReplyOutcome TIdHTTP::handleReply(TStream* destination) {
    const int code = Response.ResponseCode;
    if (code == 101) {
        reusable_ = Response.KeepAlive;
        return ReplyOutcome::Finish;
    }
    if (code >= 200 && code <= 299) {
        readBody(destination);
        return ReplyOutcome::Finish;
    }
    if (code >= 300 && code <= 399 && code != 304) {
        if (Response.Location.isEmpty()) raiseProtocolError();
        return handleRedirect();
    }
    if (code == 401 || code == 407) return handleAuthChallenge(code == 407);
    raiseProtocolError();
}

TIdHTTP::ReplyOutcome TIdHTTP::handleRedirect() {
    const int code = Response.ResponseCode;
    QString dest = Response.Location;
    QString method = Request.Method;
    bool handled = HandleRedirects;
    int count = ++redirectCount_;
    if (OnRedirect) OnRedirect(dest, count, handled, method);
    redirectCount_ = count;
    if (!handled) raiseProtocolError();
    if (HandleRedirects && redirectCount_ < RedirectMaximum) {
        // This client speaks HTTP only: a Location on another scheme would have it send a request
        // to whatever port the server names, an FTP or a mail server's included.
        const QString protocol = parseURI(dest).Protocol;
        if (!protocol.isEmpty() && protocol != QLatin1String("http") && protocol != QLatin1String("https"))
            throw EIdUnknownProtocol();
        Request.URL = dest;
        // A 303 asks for the new resource with GET; HEAD stays HEAD, as it only asks for headers.
        const bool seeOther = code == 303 || (code == 302 && HTTPOptions.testFlag(hoTreat302Like303));
        if (seeOther && method != QLatin1String("HEAD")) {
            Request.Method = QStringLiteral("GET");
            body_ = nullptr;
        } else {
            Request.Method = method;
        }
        skipRedirectBody();
        return ReplyOutcome::FollowRedirect;
    }
    Response.Location = dest;
    skipRedirectBody();
    return ReplyOutcome::Finish;
}

TIdHTTP::ReplyOutcome TIdHTTP::handleAuthChallenge(bool proxy) {
    if (!answerChallenge(proxy)) raiseProtocolError();
    // The challenge is never the call's result: its body would pass for the resource.
    skipBody();
    return ReplyOutcome::RepeatAfterAuth;
}

bool TIdHTTP::answerChallenge(bool proxy) {
    int& retries = proxy ? authProxyRetries_ : authRetries_;
    if (!AuthSchemes || retries >= MaxAuthRetries) {
        (proxy ? ProxyParams.Authentication : Request.Authentication).reset();
        return false;
    }
    ++retries;
    const QStringList challenges = Response.RawHeaders.Values(proxy ? QStringLiteral("Proxy-Authenticate")
                                                                    : QStringLiteral("WWW-Authenticate"));
    if (proxy) {
        proxyAuthPeer_ = peerOf(ProxyParams);
        return AuthSchemes->answer(challenges, ProxyParams.ProxyUsername, ProxyParams.ProxyPassword,
                                   ProxyParams.Authentication);
    }
    // Credentials answered for another server start over here rather than count as refused.
    const QString origin = originOf(uri_);
    if (origin != serverAuthOrigin_) Request.Authentication.reset();
    serverAuthOrigin_ = origin;
    return AuthSchemes->answer(challenges, Request.Username, Request.Password, Request.Authentication);
}

void TIdHTTP::raiseProtocolError() {
    QByteArray body;
    if (bodyExpected()) {
        HttpBodyDestination target(nullptr, std::nullopt, kErrorBodyBytes);
        try {
            receiveBody(target);
        } catch (const EIdConnClosedGracefully&) {
            // An error body that ends with the connection is still the whole message.
        }
        body = target.prefix();
    } else {
        reusable_ = Response.KeepAlive;
    }
    const auto coding = Compressor ? Compressor->codingFor(Response.ContentEncoding) : std::nullopt;
    if (coding) {
        try {
            body = ContentDecoder::decodeAll(*coding, body, kErrorBodyBytes);
        } catch (const EDecompressionError&) {
            // The status line is the error; an undecodable message body is kept as it came.
        }
    }
    takeCharsetFromBody(body);
    throw EIdHTTPProtocolException(Response.ResponseText, Response.ResponseCode,
                                   decodeText(body, Response.CharSet));
}

// ---- Body -------------------------------------------------------------------------------------

bool TIdHTTP::bodyAnnounced() const {
    const BodyFraming framing = bodyFramingOf(Response);
    if (framing == BodyFraming::Chunked && HTTPOptions.testFlag(hoNoReadChunked)) return false;
    if (framing == BodyFraming::Multipart && HTTPOptions.testFlag(hoNoReadMultipartMIME)) return false;
    return headersAnnounceBody(Response);
}

bool TIdHTTP::bodyExpected() {
    if (!bodyAnnounced()) return false;
    const int code = Response.ResponseCode;
    const bool noBodyDue = sent_.head || (code >= 100 && code <= 199) || code == 204 || code == 304;
    if (noBodyDue)
        return HTTPOptions.testFlag(hoWaitForUnexpectedData) && io().WaitForInput(kUnexpectedDataWaitMs);
    return true;
}

void TIdHTTP::readBody(TStream* destination) {
    if (!bodyExpected()) {
        reusable_ = Response.KeepAlive;
        return;
    }
    const auto coding = destination && Compressor ? Compressor->codingFor(Response.ContentEncoding)
                                                  : std::optional<ContentCoding>();
    const bool sniff = isHtmlMediaType(Response.ContentType) || isXmlMediaType(Response.ContentType) ||
                       isJsonMediaType(Response.ContentType);
    HttpBodyDestination target(destination, coding, sniff ? kCharsetSniffBytes : 0);
    receiveBody(target);
    if (sniff) takeCharsetFromBody(target.prefix());
}

void TIdHTTP::skipBody() {
    if (!bodyExpected()) {
        reusable_ = Response.KeepAlive;
        return;
    }
    HttpBodyDestination target(nullptr, std::nullopt, 0);
    receiveBody(target);
}

void TIdHTTP::skipRedirectBody() {
    if (!bodyExpected()) {
        reusable_ = Response.KeepAlive;
        return;
    }
    // A body that does not start within the wait is left unread; the connection then cannot
    // carry another request, since the rest of this reply may still arrive on it.
    if (!io().WaitForInput(kRedirectBodyWaitMs)) return;
    HttpBodyDestination target(nullptr, std::nullopt, 0);
    receiveBody(target);
}

void TIdHTTP::receiveBody(HttpBodyDestination& target) {
    const BodyFraming framing = bodyFramingOf(Response);
    const bool sized = framing == BodyFraming::Sized;
    WorkScope work(work_, wmRead, sized ? Response.ContentLength : 0);
    try {
        if (!headComplete_) {
            // The peer closed inside the head: nothing of an announced body can have arrived.
            if (framing == BodyFraming::Chunked || sized) throw EIdConnClosedGracefully();
        } else {
            if (sized) target.reserve(Response.ContentLength);
            readFramedBody(io(), Response, target.input(), MaxHeaderLines);
        }
        target.finish();
    } catch (...) {
        try {
            target.abandon();
        } catch (const Exception&) {
            // The failure that ended the body is the one to report.
        }
        Disconnect();
        throw;
    }
    work.finish();
    // A multipart body may have been read past its end.
    reusable_ = Response.KeepAlive && framing != BodyFraming::Multipart;
}

void TIdHTTP::takeCharsetFromBody(const QByteArray& prefix) {
    const QString type = Response.ContentType;
    if (isHtmlMediaType(type)) {
        if (HTTPOptions.testFlag(hoNoParseMetaHTTPEquiv)) return;
        const HtmlMetaDeclarations meta = scanHtmlMeta(prefix);
        for (const auto& [name, content] : meta.httpEquiv) {
            // Cookies were taken from the real headers before the body was read.
            if (name.compare(QLatin1String("Set-Cookie"), Qt::CaseInsensitive) != 0)
                Response.RawHeaders.SetValue(name, content);
        }
        if (!meta.httpEquiv.isEmpty()) Response.ParseHeaders();
        if (!meta.charset.isEmpty()) Response.CharSet = meta.charset;
    } else if (isXmlMediaType(type)) {
        const QString declared = xmlDeclaredEncoding(prefix);
        if (!declared.isEmpty()) Response.CharSet = declared;
    } else if (isJsonMediaType(type)) {
        Response.CharSet = jsonEncoding(prefix);
    }
}

} // namespace hl
