#include "protocols/httpuri.h"

#include "protocols/idexceptions.h"
#include "protocols/ipaddress.h"

#include <algorithm>

namespace hl {

namespace {

const QString kSlash = QStringLiteral("/");

// "://" ends a scheme only when nothing before it belongs to a path, query or fragment; a
// relative reference such as /go?to=http://x has no scheme.
bool looksLikeScheme(QStringView text) {
    return !text.contains(QLatin1Char('/')) && !text.contains(QLatin1Char('?')) &&
           !text.contains(QLatin1Char('#'));
}

void splitHostAndPort(QStringView hostPort, TIdURI& uri) {
    if (hostPort.startsWith(QLatin1Char('['))) {
        const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
        if (close > 0) {
            uri.Host = hostPort.mid(1, close - 1).toString();
            uri.IPv6 = true;
            const QStringView after = hostPort.mid(close + 1);
            if (after.startsWith(QLatin1Char(':'))) uri.Port = after.mid(1).toString();
            return;
        }
    }
    const qsizetype colon = hostPort.indexOf(QLatin1Char(':'));
    uri.Host = (colon < 0 ? hostPort : hostPort.left(colon)).toString();
    if (colon >= 0) uri.Port = hostPort.mid(colon + 1).toString();
}

void splitAuthority(QStringView authority, TIdURI& uri) {
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QStringView userInfo = authority.left(at);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        uri.Username = (colon < 0 ? userInfo : userInfo.left(colon)).toString();
        if (colon >= 0) uri.Password = userInfo.mid(colon + 1).toString();
        authority = authority.mid(at + 1);
    }
    splitHostAndPort(authority, uri);
}

void splitPathAndDocument(QStringView text, TIdURI& uri) {
    const qsizetype lastSlash = text.lastIndexOf(QLatin1Char('/'));
    uri.Path = text.left(lastSlash + 1).toString();
    uri.Document = text.mid(lastSlash + 1).toString();
}

// Removes the last segment of a resolved path: its trailing "/" and everything back to the "/"
// before it.
void dropLastSegment(QString& path) {
    if (path.endsWith(QLatin1Char('/'))) path.chop(1);
    path.truncate(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool isDefaultPort(const TIdURI& uri) {
    const QString protocol = uri.Protocol;
    return (protocol == QLatin1String("http") && uri.Port == QLatin1String("80")) ||
           (protocol == QLatin1String("https") && uri.Port == QLatin1String("443")) ||
           (protocol == QLatin1String("ftp") && uri.Port == QLatin1String("21"));
}

// The host as the authority writes it. A host the URL gave in brackets keeps exactly those
// brackets, whatever they hold, so that the written URL parses back to the same server.
QString authorityHost(const TIdURI& uri) {
    if (uri.IPv6) return QLatin1Char('[') + uri.Host + QLatin1Char(']');
    return bracketedHost(uri.Host);
}

bool isAscii(QChar c) {
    return c.unicode() < 0x80;
}

// Servers read a request target as bytes, and the bytes of a URL are UTF-8 (as browsers send
// them): every run of characters above U+007F becomes the percent escapes of its UTF-8 encoding.
QString percentEncodeNonAscii(const QString& text) {
    if (std::all_of(text.cbegin(), text.cend(), isAscii)) return text;
    QString encoded;
    encoded.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size();) {
        if (isAscii(text[i])) {
            encoded += text[i++];
            continue;
        }
        // A whole run at once, so that a surrogate pair is encoded as the one character it is.
        qsizetype end = i;
        while (end < text.size() && !isAscii(text[end]))
            ++end;
        encoded += QString::fromLatin1(QStringView(text).mid(i, end - i).toUtf8().toPercentEncoding());
        i = end;
    }
    return encoded;
}

} // namespace

TIdURI parseURI(const QString& url) {
    TIdURI uri;
    QString rest = url;
    bool hasAuthority = false;
    const qsizetype schemeEnd = rest.indexOf(QLatin1String("://"));
    if (schemeEnd >= 0 && looksLikeScheme(QStringView(rest).left(schemeEnd))) {
        uri.Protocol = rest.left(schemeEnd).toLower();
        rest.remove(0, schemeEnd + 3);
        hasAuthority = true;
    } else if (rest.startsWith(QLatin1String("//"))) {
        rest.remove(0, 2);
        hasAuthority = true;
    }
    // Backslashes typed in place of slashes are taken as slashes, up to the query. A relative
    // reference too: the target it resolves to is written out as an absolute URL (through a proxy,
    // and when a challenged request is repeated), which must name the same place.
    qsizetype end = rest.size();
    for (const QChar stop : {QLatin1Char('?'), QLatin1Char('#')}) {
        const qsizetype at = rest.indexOf(stop);
        if (at >= 0 && at < end) end = at;
    }
    for (qsizetype i = 0; i < end; ++i)
        if (rest[i] == QLatin1Char('\\')) rest[i] = QLatin1Char('/');

    // The fragment ends the URL wherever it starts; a "?" inside it is part of the fragment.
    const qsizetype hash = rest.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        uri.Bookmark = rest.mid(hash + 1);
        rest.truncate(hash);
    }
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    if (question >= 0) {
        uri.Params = rest.mid(question + 1);
        rest.truncate(question);
    }

    if (!hasAuthority) {
        splitPathAndDocument(rest, uri);
        return uri;
    }
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    splitAuthority(QStringView(rest).left(slash < 0 ? rest.size() : slash), uri);
    if (slash < 0) {
        uri.Path = kSlash;
    } else {
        splitPathAndDocument(QStringView(rest).mid(slash), uri);
    }
    return uri;
}

QString resolvePath(const QString& basePath, const QString& relativePath) {
    if (relativePath.startsWith(QLatin1Char('/'))) return relativePath;
    QString joined = basePath;
    if (!joined.isEmpty() && !joined.endsWith(QLatin1Char('/'))) joined += QLatin1Char('/');
    joined += relativePath;

    QString result;
    result.reserve(joined.size());
    const qsizetype n = joined.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = joined[i];
        if (c == QLatin1Char('/')) {
            if (!result.endsWith(QLatin1Char('/'))) result += c;
            ++i;
            continue;
        }
        // Only a whole ".." segment goes up; a name such as "..x" is an ordinary segment.
        const bool parentSegment = c == QLatin1Char('.') && result.endsWith(QLatin1Char('/')) && i + 1 < n &&
                                   joined[i + 1] == QLatin1Char('.') &&
                                   (i + 2 == n || joined[i + 2] == QLatin1Char('/'));
        if (parentSegment) {
            dropLastSegment(result);
            i += 2;
            continue;
        }
        result += c;
        ++i;
    }
    if (result != kSlash && result.endsWith(QLatin1Char('/')) && !relativePath.isEmpty() &&
        !relativePath.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

void mergeURI(TIdURI& current, const TIdURI& next) {
    // Merged into a copy, so that a URL that cannot be requested leaves the current target as it was.
    TIdURI target = current;
    target.Path = resolvePath(target.Path, next.Path);
    target.Document = next.Document;
    target.Params = next.Params;
    target.Bookmark = next.Bookmark;
    if (!next.Host.isEmpty()) {
        target.Host = next.Host;
        target.IPv6 = next.IPv6;
    }
    if (!next.Protocol.isEmpty()) {
        target.Protocol = next.Protocol;
    } else if (target.Protocol != QLatin1String("https")) {
        target.Protocol = QStringLiteral("http");
    }
    if (!next.Port.isEmpty()) {
        target.Port = next.Port;
    } else if (next.Protocol == QLatin1String("http")) {
        target.Port = QStringLiteral("80");
    } else if (next.Protocol == QLatin1String("https")) {
        target.Port = QStringLiteral("443");
    } else if (!next.Protocol.isEmpty()) {
        // Another scheme without a port: nothing says where to connect.
        target.Port.clear();
    }
    if (target.Port.isEmpty()) throw EIdUnknownProtocol();
    current = std::move(target);
}

QString requestTarget(const TIdURI& uri) {
    QString target = uri.Path + uri.Document;
    if (!uri.Params.isEmpty()) target += QLatin1Char('?') + uri.Params;
    return percentEncodeNonAscii(target);
}

QString absoluteURI(const TIdURI& uri) {
    QString text = uri.Protocol + QLatin1String("://") + authorityHost(uri);
    if (!uri.Port.isEmpty() && !isDefaultPort(uri)) text += QLatin1Char(':') + uri.Port;
    return text + requestTarget(uri);
}

QString hostHeaderValue(const TIdURI& uri, bool throughProxy) {
    QString value = authorityHost(uri);
    const bool defaultPort = (uri.Protocol == QLatin1String("http") && uri.Port == QLatin1String("80")) ||
                             (uri.Protocol == QLatin1String("https") && uri.Port == QLatin1String("443"));
    if (throughProxy || !defaultPort) value += QLatin1Char(':') + uri.Port;
    return value;
}

QString authorityWithPort(const TIdURI& uri) {
    return authorityHost(uri) + QLatin1Char(':') + uri.Port;
}

quint16 connectPort(const TIdURI& uri) {
    bool ok = false;
    const uint port = uri.Port.toUInt(&ok);
    return ok && port <= 0xFFFF ? static_cast<quint16>(port) : quint16(80);
}

bool isHttps(const TIdURI& uri) {
    return uri.Protocol == QLatin1String("https");
}

} // namespace hl
