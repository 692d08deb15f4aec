#pragma once
// The HTTP/1.1 client with which the download engine, the URL Grabber and the maker services fetch
// http and https URLs.
//
// A caller creates one client per job, sets the public properties, calls Head, Get or Post (any
// number of times, strictly one after another), reads Response, and destroys the client, which
// closes its connection. Every call blocks the calling thread until the transaction is over; every
// failure is an exception whose message the callers log verbatim (see httpexceptions.h,
// idexceptions.h, contentdecoder.h). A client is used by one thread at a time; its events run on
// that thread, synchronously, between two reads of the transfer.
//
// Transport ownership: assign IOHandler to choose the transport (the download procedure assigns one
// TLS transport per client, also for http URLs; it runs in pass-through there). The client shares
// ownership, so the caller may keep its own reference (to set a SOCKS tunnel on it, for example).
// With none assigned, the client creates a plain transport for plain connections and
// makeDefaultSSLIOHandler() for TLS connections, and publishes it in IOHandler. The client installs
// its work hook as the transport's OnReceived while it uses it.
#include "platform/streams.h"
#include "protocols/compressorzlib.h"
#include "protocols/httpauthentication.h"
#include "protocols/httpcookiestore.h"
#include "protocols/httprequest.h"
#include "protocols/httpresponse.h"
#include "protocols/httpuri.h"
#include "protocols/idwork.h"
#include "protocols/iohandlersocket.h"
#include "protocols/proxyconnectioninfo.h"

#include <QByteArray>
#include <QFlags>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace hl {

class ConnectAuthorization;
class HttpBodyDestination;
class HttpConnectTunnel;
class TIdSSLIOHandlerSocketBase;

enum TIdHTTPOption {
    hoForceEncodeParams = 0x02,     // URL-encode form fields of a post (read by the form post)
    hoNoParseMetaHTTPEquiv = 0x08,  // do not take reply headers and charset from an HTML body
    hoWaitForUnexpectedData = 0x10, // read a body that arrives within 100 ms where none is due
    hoTreat302Like303 = 0x20,       // follow a 302 with GET, as a 303
    hoNoReadMultipartMIME = 0x40,   // a multipart reply without length has no body
    hoNoReadChunked = 0x80,         // a chunked reply has no body
};
Q_DECLARE_FLAGS(TIdHTTPOptions, TIdHTTPOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TIdHTTPOptions)

// dest: the Location exactly as received (may be relative). numRedirect: the redirect count of
// this call, this one included. handled: enters as HandleRedirects; false makes the reply an
// error. method: the method of the request that got the reply. The handler may change all four.
using TIdHTTPRedirectEvent =
    std::function<void(QString& dest, int& numRedirect, bool& handled, QString& method)>;

class TIdHTTP {
public:
    TIdHTTP();
    ~TIdHTTP();
    TIdHTTP(const TIdHTTP&) = delete;
    TIdHTTP& operator=(const TIdHTTP&) = delete;

    // Milliseconds; 0 or -1: no limit.
    int ConnectTimeout = 0;
    int ReadTimeout = -1;
    // Follow 3xx replies that carry a Location, until the redirect count of a call reaches
    // RedirectMaximum: that reply ends the call without error and with nothing written.
    bool HandleRedirects = false;
    int RedirectMaximum = 15;
    TIdHTTPProtocolVersion ProtocolVersion = pv1_1;
    TIdHTTPOptions HTTPOptions = hoForceEncodeParams;
    bool AllowCookies = true;
    // Challenges answered per call, for 401 and for 407 separately.
    int MaxAuthRetries = 3;
    // Reply header lines beyond this many fail the call (0: no limit).
    int MaxHeaderLines = 255;
    // With a compressor, gzip and deflate bodies are offered and stored decoded.
    std::shared_ptr<const TIdCompressorZLib> Compressor;
    std::shared_ptr<TIdIOHandlerSocket> IOHandler;
    TIdProxyConnectionInfo ProxyParams;
    // Request values persist across calls; Response describes the last reply received.
    TIdHTTPRequest Request;
    TIdHTTPResponse Response;
    // The cookie jar. With AllowCookies on, the client creates an HttpCookieJar on the first reply
    // when none was assigned, and keeps it for its lifetime: it sees every reply's headers (the
    // CONNECT reply's too) and fills every request's Cookie header (never a CONNECT's).
    std::shared_ptr<HttpCookieStore> CookieManager;
    // Answers 401 and 407 challenges; Basic and Digest (StandardAuthSchemes) unless replaced.
    // Without it no scheme is supported, and such a reply is a protocol error.
    //
    // An answered challenge repeats the challenged request within the same call (its body is
    // dropped), at most MaxAuthRetries times; a challenge that cannot be answered (no user name, no
    // supported scheme, credentials refused) is the protocol error with its status line. Server
    // credentials come from the user-info of the URLs (Request.Username, Request.Password) and go
    // with every later request to the same scheme, host and port; proxy credentials come from
    // ProxyParams and go with every later request to that proxy, but never through a CONNECT
    // tunnel to the server behind it.
    std::shared_ptr<HttpAuthSchemes> AuthSchemes;
    // Free for the caller (the download engine keeps its transfer slot here).
    qint64 Tag = 0;

    TIdHTTPRedirectEvent OnRedirect;
    // Reading (wmRead) reports the bytes of each reply body as they leave the receive buffer: a
    // begin with the announced length (0 when unknown), the running total after each read, an end.
    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;

    // GET; the final reply's body is written into destination from its current position
    // (nullptr: read and dropped). On failure destination holds exactly the bytes received.
    void Get(const QString& url, TStream* destination);
    // HEAD; afterwards Response holds the reply's headers.
    void Head(const QString& url);
    // A form post of lines ("name=value", encoded as formencoding.h describes unless
    // hoForceEncodeParams is off) with the content type application/x-www-form-urlencoded, unless
    // the caller set Request.ContentType to a type that is not HTML. Returns the reply body as
    // text in the reply's character set. Without HandleRedirects a 3xx reply is a protocol error.
    QString Post(const QString& url, const QStringList& lines);
    // One request cycle of any method, with an optional body (not owned; sent after the head).
    void DoRequest(const QString& method, const QString& url, const QByteArray* body, TStream* destination);
    // Closes the connection at once. May be called from inside OnWork to abort the transfer in
    // progress: the pending read then fails with "Not Connected".
    void Disconnect();
    bool Connected() const;

    // The target of the last request: where relative redirects resolve.
    const TIdURI& URL() const { return uri_; }
    int RedirectCount() const { return redirectCount_; }

private:
    class TunnelAuthorization;
    enum class ReplyOutcome { Finish, FollowRedirect, RepeatAfterAuth };
    enum class ConnectionKind { Plain, Tls, Proxy, TlsThroughProxy };
    // What the request that got the current reply was.
    struct SentRequest {
        bool head = false;    // no body is due in the reply
        bool toProxy = false; // the proxy itself answers (an absolute-URI request or a CONNECT)
    };

    // Sets the request's values for the next exchange; newTarget: first merges Request.URL into
    // the target (the call's URL or a redirect's Location).
    void prepareRequest(bool newTarget);
    void mergeTarget();
    void offerContentCodings();
    ConnectionKind connectionKind() const;
    void openConnection();
    TIdIOHandlerSocket& transportFor(ConnectionKind kind);
    // The CONNECT tunnel through ProxyParams for an https URL; it answers 407 challenges as the
    // client's own requests do.
    std::shared_ptr<HttpConnectTunnel> proxyTunnel() const;
    // The proxy's answer to a CONNECT becomes Response, and its cookies are kept.
    void takeTunnelReply(const TIdHTTPResponse& reply);
    // Sends the request and reads the reply head; once more on a new connection when a kept one
    // turns out to have been closed by the peer before the request reached it.
    void exchangeHead();
    bool lostIdleConnection(const EIdException& error) const;
    void sendRequest();
    // Reads the reply head, skipping interim 1xx replies, and stores its cookies. Returns false
    // only when emptyLineIsConsent and the peer sent an empty line for a status line.
    bool receiveReplyHead(bool emptyLineIsConsent = false);
    void storeReplyCookies();
    ReplyOutcome handleReply(TStream* destination);
    ReplyOutcome handleRedirect();
    ReplyOutcome handleAuthChallenge(bool proxy);
    bool answerChallenge(bool proxy);
    void forgetAuthenticationOfOtherPeers();
    [[noreturn]] void raiseProtocolError();

    bool bodyAnnounced() const;
    bool bodyExpected();
    void readBody(TStream* destination);
    void skipBody();
    void skipRedirectBody();
    void receiveBody(HttpBodyDestination& target);
    void takeCharsetFromBody(const QByteArray& prefix);

    QString connectionValue() const;
    QString proxyConnectionValue() const;
    bool replyAllowsKeepAlive() const;
    TIdIOHandlerSocket& io();
    TIdSSLIOHandlerSocketBase* tlsTransport() const;

    TIdURI uri_;
    int redirectCount_ = 0;
    int authRetries_ = 0;
    int authProxyRetries_ = 0;
    // Where the server authenticator was answered (scheme, host, port), and the proxy the proxy
    // authenticator was answered for: neither goes anywhere else.
    QString serverAuthOrigin_;
    QString proxyAuthPeer_;
    const QByteArray* body_ = nullptr;
    SentRequest sent_;
    WorkTracker work_;

    // The transport the client made itself, when the caller assigned none.
    std::shared_ptr<TIdIOHandlerSocket> ownTransport_;
    // The authentication hook of the client's CONNECT tunnels: ProxyParams' credentials.
    std::shared_ptr<ConnectAuthorization> tunnelAuthorization_;
    // What the open connection was made for.
    ConnectionKind connectedKind_ = ConnectionKind::Plain;
    QString connectedHost_;
    quint16 connectedPort_ = 0;
    QString connectedDestination_;
    // Whether the current request went out on a connection kept from an earlier one.
    bool reusedConnection_ = false;
    // Whether the last reply's head arrived up to its empty line.
    bool headComplete_ = false;
    // Whether the last reply was read completely and allows the connection to carry another.
    bool reusable_ = false;
};

} // namespace hl
