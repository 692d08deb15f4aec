#pragma once
// The cookie jar an HTTP client keeps for its lifetime: cookies stored from Set-Cookie headers and
// sent back in Cookie headers by the rules of RFC 6265 (sections 5.3 and 5.4), with the "__Secure-"
// and "__Host-" name prefixes of RFC 6265bis. Used on the client's thread only.
#include "protocols/httpcookiestore.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

namespace hl {

struct HttpCookie {
    QString Name;
    QString Value;
    QString Domain; // lower case; for a host-only cookie the host it came from
    QString Path;
    QDateTime Expiry; // invalid: a session cookie, kept as long as the jar
    bool Secure = false;
    bool HostOnly = true;
    bool HttpOnly = false;
    QString SameSite;
    // The order in which cookies were first created (a replaced cookie keeps its place) and last
    // sent.
    quint64 Created = 0;
    quint64 LastAccess = 0;
};

class HttpCookieJar final : public HttpCookieStore {
public:
    using Clock = std::function<QDateTime()>;

    // At most this many cookies per domain and in all; beyond them the least recently used go.
    static constexpr int kMaxCookiesPerDomain = 50;
    static constexpr int kMaxCookies = 3000;

    // clock gives the current UTC time for expiry; the system clock when empty.
    explicit HttpCookieJar(Clock clock = {});

    // Stores every Set-Cookie value of headers as received from uri. Values that RFC 6265 rejects
    // (a Domain the host is not in, a single-label Domain other than the host itself, a Secure
    // cookie from plain http, a "__Secure-" cookie without Secure, a "__Host-" cookie without
    // Secure, with a Domain or with a path other than "/") are dropped without error. A cookie with
    // the name, domain and path of a stored one replaces it; an expired one removes it.
    void storeReplyCookies(const TIdURI& uri, const TIdHeaderList& headers) override;
    // "name=value" pairs joined by "; " of the unexpired cookies whose domain and path match uri,
    // Secure ones only for https; longer paths first, then older cookies first.
    QString cookieHeader(const TIdURI& uri) override;

    // The cookies held, expired ones included until the next store or look-up.
    const QList<HttpCookie>& cookies() const { return cookies_; }

private:
    void store(HttpCookie cookie);
    void removeExpired();
    void evictBeyondLimits(const QString& domain);

    Clock clock_;
    QList<HttpCookie> cookies_;
    quint64 sequence_ = 0;
};

} // namespace hl
