#pragma once
// Building blocks for scripted HTTP servers (see scriptedserver.h).
#include "support/scriptedserver.h"

#include <QByteArray>
#include <functional>

namespace hl::test {

// statusLine CRLF, the header lines (each already ending in CRLF), Content-Length of body, an
// empty line, body.
QByteArray httpReply(const QByteArray& statusLine, const QByteArray& headers, const QByteArray& body);

// A script that reads request after request on one connection (the head, and a body announced by
// Content-Length) and sends whatever respond returns for it, until the client closes. An empty
// answer closes the connection instead.
ScriptedServer::Script answerEachRequest(std::function<QByteArray(const QByteArray& request)> respond);

// A script that reads request after request on one connection (the head, and a body announced by
// Content-Length) and hands each to handle, which answers on the connection as it likes (and may
// close it), until the client closes.
ScriptedServer::Script
handleEachRequest(std::function<void(ScriptedConnection& connection, const QByteArray& request)> handle);

// The request heads (and bodies) in everything a connection received, one per request.
QList<QByteArray> splitRequests(const QByteArray& received);

} // namespace hl::test
