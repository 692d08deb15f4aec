#include "support/httpscript.h"

#include <QList>

namespace hl::test {

QByteArray httpReply(const QByteArray& statusLine, const QByteArray& headers, const QByteArray& body) {
    return statusLine + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
           body;
}

ScriptedServer::Script
handleEachRequest(std::function<void(ScriptedConnection& connection, const QByteArray& request)> handle) {
    return [handle = std::move(handle)](ScriptedConnection& connection) {
        for (;;) {
            QByteArray request = connection.readHead();
            if (request.isEmpty()) return;
            const int length = headerValue(request, "Content-Length").toInt();
            if (length > 0) request += connection.readExact(length);
            handle(connection, request);
        }
    };
}

ScriptedServer::Script answerEachRequest(std::function<QByteArray(const QByteArray& request)> respond) {
    return handleEachRequest(
        [respond = std::move(respond)](ScriptedConnection& connection, const QByteArray& request) {
            const QByteArray answer = respond(request);
            if (answer.isEmpty())
                connection.close();
            else
                connection.send(answer);
        });
}

QList<QByteArray> splitRequests(const QByteArray& received) {
    QList<QByteArray> requests;
    qsizetype start = 0;
    while (start < received.size()) {
        const qsizetype end = received.indexOf("\r\n\r\n", start);
        if (end < 0) break;
        qsizetype next = end + 4;
        const QByteArray head = received.mid(start, next - start);
        next += headerValue(head, "Content-Length").toInt();
        requests.append(received.mid(start, next - start));
        start = next;
    }
    return requests;
}

} // namespace hl::test
