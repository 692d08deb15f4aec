#include "grabber/urlresolution.h"

#include "grabber/asciicase.h"

namespace hl {
namespace {

const QLatin1StringView kHttp("http://");
const QLatin1StringView kHttps("https://");
const QLatin1StringView kSchemeEnd("://");

// The length of the "http://" or "https://" that begins `url` (exact letter case), or 0.
qsizetype httpPrefixLength(const QString& url) {
    if (url.startsWith(kHttp)) return kHttp.size();
    if (url.startsWith(kHttps)) return kHttps.size();
    return 0;
}

// `text` up to, not including, its last "/"; empty without one.
QString beforeLastSlash(const QString& text) {
    const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : text.left(slash);
}

// `text` up to and including its last "/"; empty without one.
QString throughLastSlash(const QString& text) {
    return text.left(text.lastIndexOf(QLatin1Char('/')) + 1);
}

// The page's directory: the URL through its last "/" when one follows the scheme prefix, else the
// host URL and "/".
QString pageDirectory(const QString& pageUrl) {
    const qsizetype slash = pageUrl.lastIndexOf(QLatin1Char('/'));
    if (slash >= httpPrefixLength(pageUrl)) return pageUrl.left(slash + 1);
    return GetHostURL(pageUrl) + QLatin1Char('/');
}

void dropWhileStartsWith(QString& text, QLatin1StringView prefix) {
    qsizetype cut = 0;
    while (QStringView(text).sliced(cut).startsWith(prefix))
        cut += prefix.size();
    text.remove(0, cut);
}

// "../" steps against a base reference: the base less one segment per step. Steps above the base's
// host stay at its root URL (see ResolveAgainstBase).
QString climbBase(const QString& base, int steps) {
    QString target = RemoveLastSegments(base, steps);
    if (base.contains(kSchemeEnd)) {
        const QString root = GetRootURL(base);
        if (target.endsWith(QLatin1String(":/")) || target.size() < root.size()) target = root;
    }
    return target;
}

} // namespace

QString RemoveProtocol(const QString& text) {
    if (StartsWithAsciiCaseless(text, kHttp)) return text.mid(kHttp.size());
    if (StartsWithAsciiCaseless(text, kHttps)) return text.mid(kHttps.size());
    return text;
}

QString GetHostURL(const QString& url) {
    const qsizetype prefix = httpPrefixLength(url);
    if (prefix == 0) return {};
    const qsizetype slash = url.indexOf(QLatin1Char('/'), prefix);
    return slash < 0 ? url : url.left(slash);
}

QString GetDomainName(const QString& url) {
    const qsizetype prefixLength = httpPrefixLength(url);
    if (prefixLength == 0) return {};
    const QString prefix = url.left(prefixLength);
    const QString authority = GetHostURL(url);
    QString result = authority;
    const qsizetype lastDot = authority.lastIndexOf(QLatin1Char('.'));
    if (lastDot > 0) {
        const qsizetype dotBefore = authority.lastIndexOf(QLatin1Char('.'), lastDot - 1);
        if (dotBefore >= 0) result = authority.mid(dotBefore + 1);
    }
    if (!result.startsWith(prefix)) result.prepend(prefix);
    if (result.endsWith(QLatin1Char('/'))) result.chop(1);
    return result;
}

QString GetRootURL(const QString& url) {
    const qsizetype schemeEnd = url.indexOf(kSchemeEnd);
    if (schemeEnd < 0) return url;
    const qsizetype slash = url.indexOf(QLatin1Char('/'), schemeEnd + kSchemeEnd.size());
    return slash < 0 ? url : url.left(slash);
}

QString RemoveLastSegments(const QString& text, int count) {
    QString result = text;
    if (result.endsWith(QLatin1Char('/'))) result.chop(1);
    if (count < 0 || result.count(QLatin1Char('/')) < count) return {};
    for (int i = 0; i < count; ++i)
        result.truncate(result.lastIndexOf(QLatin1Char('/')));
    return result;
}

int CountParentRefs(const QString& text) {
    int count = 0;
    for (qsizetype at = 0; at + 1 < text.size() && text[at] == u'.' && text[at + 1] == u'.'; at += 3)
        ++count;
    return count;
}

QString ResolveParentPath(const QString& link, const QString& pageUrl) {
    QString steps = link;
    QString directory = pageUrl;
    const QString hostUrl = GetHostURL(pageUrl);
    while (steps.startsWith(QLatin1String(".."))) {
        directory = throughLastSlash(beforeLastSlash(directory));
        if (directory.size() < hostUrl.size()) directory = hostUrl + QLatin1Char('/');
        steps.remove(0, 2);
        if (steps.startsWith(QLatin1Char('/'))) steps.remove(0, 1);
    }
    return directory + steps;
}

QString ResolveAgainstBase(const QString& link, const QString& pageUrl, const QString& baseHref) {
    QString result = link;
    QString base = baseHref.endsWith(QLatin1Char('/')) ? baseHref : throughLastSlash(baseHref);
    if (!base.isEmpty()) {
        if (!base.contains(kSchemeEnd) && !base.startsWith(QLatin1Char('/')))
            base = RemoveLastSegments(pageUrl, 1) + QLatin1Char('/') + base;
        if (result.contains(kSchemeEnd) || result.startsWith(QLatin1String("//"))) {
            // Absolute, or protocol-relative: it gets the page's scheme below, not the base's root.
        } else if (result.startsWith(QLatin1String("/.."))) {
            dropWhileStartsWith(result, QLatin1String("/.."));
            if (base.contains(kSchemeEnd)) result.prepend(GetRootURL(base));
        } else if (result.startsWith(QLatin1Char('/'))) {
            if (base.contains(kSchemeEnd)) result.prepend(GetRootURL(base));
        } else if (result.startsWith(QLatin1String("../"))) {
            const int steps = CountParentRefs(result);
            dropWhileStartsWith(result, QLatin1String("../"));
            result = climbBase(base, steps) + QLatin1Char('/') + result;
        } else {
            result.prepend(base);
        }
    }
    while (result.startsWith(QLatin1String("/../")))
        result.remove(0, 3);
    if (result.startsWith(QLatin1String("//")) && result.size() > 2)
        result = (pageUrl.startsWith(QLatin1String("https:")) ? kHttps : kHttp) + result.mid(2);
    return result;
}

QString ResolveAgainstPage(const QString& link, const QString& pageUrl) {
    if (link.startsWith(QLatin1Char('/'))) return GetHostURL(pageUrl) + link;
    if (link == QLatin1String(".")) return throughLastSlash(pageUrl);
    if (link == QLatin1String("..") || link.startsWith(QLatin1String("../")))
        return ResolveParentPath(link, pageUrl);
    if (httpPrefixLength(link) > 0) return link;
    if (httpPrefixLength(pageUrl) > 0) return pageDirectory(pageUrl) + link;
    return link;
}

} // namespace hl
