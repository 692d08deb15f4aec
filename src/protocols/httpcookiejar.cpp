#include "protocols/httpcookiejar.h"

#include "protocols/setcookie.h"

#include <algorithm>

namespace hl {

namespace {

// No expiry a server sets is kept beyond this many seconds (about 400 days, as RFC 6265bis caps it).
constexpr qint64 kMaxAgeCapSeconds = 400LL * 24 * 60 * 60;

bool isIPv4Literal(const QString& host) {
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4) return false;
    return std::all_of(parts.begin(), parts.end(), [](const QString& part) {
        return !part.isEmpty() && part.size() <= 3 &&
               std::all_of(part.begin(), part.end(), [](QChar c) { return c.isDigit(); });
    });
}

bool isAddress(const TIdURI& uri, const QString& host) {
    return uri.IPv6 || host.contains(QLatin1Char(':')) || isIPv4Literal(host);
}

bool domainMatches(const TIdURI& uri, const QString& host, const QString& domain) {
    if (host == domain) return true;
    return host.endsWith(QLatin1Char('.') + domain) && !isAddress(uri, host);
}

// The directory of the request path without its final "/"; "/" for the top.
QString defaultPath(const TIdURI& uri) {
    const QString& path = uri.Path;
    if (!path.startsWith(QLatin1Char('/'))) return QStringLiteral("/");
    const qsizetype last = path.lastIndexOf(QLatin1Char('/'));
    return last <= 0 ? QStringLiteral("/") : path.left(last);
}

QString requestPath(const TIdURI& uri) {
    const QString path = uri.Path + uri.Document;
    return path.startsWith(QLatin1Char('/')) ? path : QStringLiteral("/");
}

bool pathMatches(const QString& requestPath, const QString& cookiePath) {
    if (requestPath == cookiePath) return true;
    if (!requestPath.startsWith(cookiePath)) return false;
    return cookiePath.endsWith(QLatin1Char('/')) || requestPath.at(cookiePath.size()) == QLatin1Char('/');
}

bool isSecureOrigin(const TIdURI& uri) {
    return uri.Protocol.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

// The prefixes let a server rely on a cookie having been set securely and, for "__Host-", for this
// host alone.
bool keepsPrefixRules(const HttpCookie& cookie) {
    if (cookie.Name.startsWith(QLatin1String("__Secure-"))) return cookie.Secure;
    if (cookie.Name.startsWith(QLatin1String("__Host-")))
        return cookie.Secure && cookie.HostOnly && cookie.Path == QLatin1String("/");
    return true;
}

QDateTime expiryOf(const SetCookie& parsed, const QDateTime& now) {
    if (parsed.MaxAge) {
        if (*parsed.MaxAge <= 0) return QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
        return now.addSecs(std::min(*parsed.MaxAge, kMaxAgeCapSeconds));
    }
    if (parsed.Expires) return std::min(*parsed.Expires, now.addSecs(kMaxAgeCapSeconds));
    return {};
}

} // namespace

HttpCookieJar::HttpCookieJar(Clock clock) : clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return QDateTime::currentDateTimeUtc(); };
}

void HttpCookieJar::storeReplyCookies(const TIdURI& uri, const TIdHeaderList& headers) {
    const QStringList values = headers.Values(QStringLiteral("Set-Cookie"));
    if (values.isEmpty()) return;
    const QDateTime now = clock_();
    const QString host = uri.Host.toLower();
    for (const QString& value : values) {
        const auto parsed = parseSetCookie(value);
        if (!parsed) continue;
        HttpCookie cookie;
        cookie.Name = parsed->Name;
        cookie.Value = parsed->Value;
        cookie.Expiry = expiryOf(*parsed, now);
        cookie.Secure = parsed->Secure;
        cookie.HttpOnly = parsed->HttpOnly;
        cookie.SameSite = parsed->SameSite;
        QString domain = parsed->Domain.value_or(QString());
        // Without a public suffix list, a single label is taken as one: only the host itself may
        // name it, and the cookie then stays with that host.
        if (!domain.isEmpty() && !domain.contains(QLatin1Char('.'))) {
            if (domain != host) continue;
            domain.clear();
        }
        if (!domain.isEmpty()) {
            if (!domainMatches(uri, host, domain)) continue;
            cookie.HostOnly = false;
            cookie.Domain = domain;
        } else {
            cookie.Domain = host;
        }
        cookie.Path = parsed->Path.value_or(defaultPath(uri));
        if (cookie.Secure && !isSecureOrigin(uri)) continue;
        if (!keepsPrefixRules(cookie)) continue;
        store(std::move(cookie));
    }
    removeExpired();
}

void HttpCookieJar::store(HttpCookie cookie) {
    const auto same = std::find_if(cookies_.begin(), cookies_.end(), [&cookie](const HttpCookie& held) {
        return held.Name == cookie.Name && held.Domain == cookie.Domain && held.Path == cookie.Path;
    });
    if (same != cookies_.end()) {
        cookie.Created = same->Created;
        cookies_.erase(same);
    } else {
        cookie.Created = ++sequence_;
    }
    cookie.LastAccess = ++sequence_;
    const QString domain = cookie.Domain;
    cookies_.append(std::move(cookie));
    evictBeyondLimits(domain);
}

void HttpCookieJar::removeExpired() {
    const QDateTime now = clock_();
    cookies_.removeIf(
        [&now](const HttpCookie& cookie) { return cookie.Expiry.isValid() && cookie.Expiry <= now; });
}

void HttpCookieJar::evictBeyondLimits(const QString& domain) {
    const auto leastRecentlyUsed = [this](auto inScope) {
        auto oldest = cookies_.end();
        for (auto it = cookies_.begin(); it != cookies_.end(); ++it)
            if (inScope(*it) && (oldest == cookies_.end() || it->LastAccess < oldest->LastAccess))
                oldest = it;
        return oldest;
    };
    const auto ofDomain = [&domain](const HttpCookie& cookie) { return cookie.Domain == domain; };
    if (std::count_if(cookies_.begin(), cookies_.end(), ofDomain) > kMaxCookiesPerDomain)
        cookies_.erase(leastRecentlyUsed(ofDomain));
    if (cookies_.size() > kMaxCookies)
        cookies_.erase(leastRecentlyUsed([](const HttpCookie&) { return true; }));
}

QString HttpCookieJar::cookieHeader(const TIdURI& uri) {
    removeExpired();
    const QString host = uri.Host.toLower();
    const QString path = requestPath(uri);
    const bool secure = isSecureOrigin(uri);
    QList<HttpCookie*> matching;
    for (HttpCookie& cookie : cookies_) {
        const bool domainOk =
            cookie.HostOnly ? host == cookie.Domain : domainMatches(uri, host, cookie.Domain);
        if (domainOk && pathMatches(path, cookie.Path) && (secure || !cookie.Secure))
            matching.append(&cookie);
    }
    std::stable_sort(matching.begin(), matching.end(), [](const HttpCookie* a, const HttpCookie* b) {
        if (a->Path.size() != b->Path.size()) return a->Path.size() > b->Path.size();
        return a->Created < b->Created;
    });
    QString header;
    for (HttpCookie* cookie : matching) {
        cookie->LastAccess = ++sequence_;
        if (!header.isEmpty()) header += QLatin1String("; ");
        header += cookie->Name + QLatin1Char('=') + cookie->Value;
    }
    return header;
}

} // namespace hl
