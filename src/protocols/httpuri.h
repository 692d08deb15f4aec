#pragma once
// URLs as the HTTP client sees them: split into parts, merged into the client's current target
// (so that relative redirects resolve against it), and turned back into request targets and Host
// values. Pure functions over text; nothing here touches the network.
#include <QString>
#include <QtGlobal>

namespace hl {

struct TIdURI {
    QString Protocol; // lower case; empty when the text had no scheme
    QString Username;
    QString Password;
    QString Host; // without the square brackets of an IPv6 literal
    QString Port; // as written; empty when absent
    QString Path; // directory part, ending in "/" (or empty for a relative reference without one)
    QString Document;
    QString Params;   // after "?", without it
    QString Bookmark; // after "#", without it; never sent
    bool IPv6 = false;
};

// Splits a URL into its parts. Never fails: whatever does not fit a part ends up in the path or
// document, and the request decides later whether it can be sent.
TIdURI parseURI(const QString& url);

// Resolves the directory path relativePath against basePath: "/" starts over, ".." segments go
// up one level, "/" runs collapse.
QString resolvePath(const QString& basePath, const QString& relativePath);

// Merges a parsed URL into the current target: path resolved against the current one, host,
// protocol and port replaced when given (the port defaults by protocol). User name and password
// are left to the caller. Throws EIdUnknownProtocol when no port can be determined; current is
// then left unchanged.
void mergeURI(TIdURI& current, const TIdURI& next);

// Path, document and "?" params: what the request line names for a direct request. Characters
// above U+007F are written as the percent escapes of their UTF-8 bytes ("café" as "caf%C3%A9");
// everything else, escapes included, stays as written.
QString requestTarget(const TIdURI& uri);

// protocol "://" host [":" port] and the request target; the port only when it is not the
// protocol's default. Used as the request target through an HTTP proxy and as the TLS transport's
// URIToCheck.
QString absoluteURI(const TIdURI& uri);

// The Host header value: the host (bracketed for IPv6), with ":" port unless it is the default
// for the protocol; through an HTTP proxy the port is always present.
QString hostHeaderValue(const TIdURI& uri, bool throughProxy);

// host ":" port as the URI holds them, the host bracketed for IPv6: what a CONNECT names.
QString authorityWithPort(const TIdURI& uri);

// The port to connect to: the URI's port as a number, 80 when it is not one.
quint16 connectPort(const TIdURI& uri);

// Whether the URI is to be fetched over TLS.
bool isHttps(const TIdURI& uri);

} // namespace hl
