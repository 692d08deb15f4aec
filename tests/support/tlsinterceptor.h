#pragma once
// A man in the middle for TLS: it passes a client's handshake with a real TLS server (openssl
// s_server) through unchanged, and once the client sends its first application-data record it
// answers with bytes of the test's choosing instead of the server's reply.
#include <QByteArray>
#include <QtGlobal>

namespace hl::test {

class ScriptedConnection;

// Relays between client and 127.0.0.1:serverPort until the client's first application-data
// record has arrived, then sends reply to the client instead and returns. Returns false when
// either side closed before that.
bool relayHandshakeThenReply(ScriptedConnection& client, quint16 serverPort, const QByteArray& reply);

} // namespace hl::test
