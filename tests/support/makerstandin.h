#pragma once
// A stand-in for the maker's web server on loopback, speaking plain http only: a connection that
// opens with a TLS handshake is closed at once, so every post of the maker services fails over
// https and comes again over http, where `respond` answers it.
#include "services/makerserver.h"
#include "support/scriptedserver.h"

#include <QByteArray>
#include <QList>
#include <functional>

namespace hl::test {

class MakerStandIn {
public:
    // respond gets each http request (head and body) and returns the bytes to send; an empty
    // answer closes the connection instead.
    explicit MakerStandIn(std::function<QByteArray(const QByteArray& request)> respond);

    // The server as the maker services take it: host "127.0.0.1:" port, a resolver that knows no name.
    MakerServer server() const;
    // The http requests received so far (head and body each).
    QList<QByteArray> requests() const;
    // The connections that began with a TLS handshake.
    int tlsAttempts() const;
    int connectionCount() const { return scripted_.connectionCount(); }
    // Waits until every connection so far has been served.
    void waitIdle() { scripted_.waitIdle(); }

private:
    ScriptedServer scripted_;
};

// An answer of the update server: "200 OK" and the lines joined by CR LF.
QByteArray updateAnswer(const QStringList& lines);

} // namespace hl::test
