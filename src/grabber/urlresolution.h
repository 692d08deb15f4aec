#pragma once
// The string arithmetic that turns a value found on a page into an absolute URL: plain surgery on
// "/"-separated text, not a URL parser. Ports, user information, queries and percent-encoding are
// not parsed, dot segments go only where a rule says so, and scheme prefixes compare exactly
// (letter case included) unless a function says otherwise. All functions are pure.
#include <QString>

namespace hl {

// `text` without a leading "http://" or "https://" written in any letter case; else unchanged.
QString RemoveProtocol(const QString& text);

// For a URL that begins with "http://" or "https://": the URL up to, not including, the first "/"
// after that prefix (the whole URL when there is none). Empty for any other URL.
QString GetHostURL(const QString& url);

// For an http or https URL: the scheme prefix and the last two dot-separated labels of the
// authority (a port stays attached to the last label; no public-suffix list is consulted). Empty
// for any other URL.
QString GetDomainName(const QString& url);

// The text up to and including "://", then up to, not including, the next "/". Any scheme. A text
// without "://" is returned as it is.
QString GetRootURL(const QString& url);

// Drops one trailing "/", then the last `count` "/"-separated segments with the "/" before each.
// Empty when count is negative or the text has fewer than count "/" characters.
QString RemoveLastSegments(const QString& text, int count);

// How many ".." pairs stand at positions 0, 3, 6, ... of `text`, up to the first that does not.
int CountParentRefs(const QString& text);

// Resolves the leading ".." steps of `link` against the page URL; never climbs above the page's
// host URL.
QString ResolveParentPath(const QString& link, const QString& pageUrl);

// The base step: `link` resolved against the page's base reference (as the base tag wrote it; may
// be empty), and a protocol-relative "//host/path" given the page's scheme.
QString ResolveAgainstBase(const QString& link, const QString& pageUrl, const QString& baseHref);

// The page step: what is still relative resolved against the page URL.
QString ResolveAgainstPage(const QString& link, const QString& pageUrl);

} // namespace hl
