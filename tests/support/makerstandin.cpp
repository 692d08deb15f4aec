#include "support/makerstandin.h"

#include "support/httpscript.h"
#include "support/nonamesresolver.h"

namespace hl::test {
namespace {

bool opensWithTlsHandshake(const QByteArray& received) {
    return received.startsWith('\x16');
}

} // namespace

MakerStandIn::MakerStandIn(std::function<QByteArray(const QByteArray& request)> respond)
    : scripted_([plain = answerEachRequest(std::move(respond))](ScriptedConnection& connection) {
          if (opensWithTlsHandshake(connection.peek(1))) return;
          plain(connection);
      }) {}

MakerServer MakerStandIn::server() const {
    return {QStringLiteral("127.0.0.1:") + QString::number(scripted_.port()), noNamesResolver()};
}

QList<QByteArray> MakerStandIn::requests() const {
    QList<QByteArray> requests;
    for (const QByteArray& received : scripted_.received())
        if (!opensWithTlsHandshake(received)) requests += splitRequests(received);
    return requests;
}

int MakerStandIn::tlsAttempts() const {
    int attempts = 0;
    for (const QByteArray& received : scripted_.received())
        attempts += opensWithTlsHandshake(received) ? 1 : 0;
    return attempts;
}

QByteArray updateAnswer(const QStringList& lines) {
    return httpReply("HTTP/1.1 200 OK", "Content-Type: text/html; charset=UTF-8\r\n",
                     lines.join("\r\n").toUtf8());
}

} // namespace hl::test
