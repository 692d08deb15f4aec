#pragma once
// A small web site on the scripted loopback server: files by path, served to GET (from a
// "bytes=N-" range with 206 when asked) and HEAD, with extra headers per file; fixed replies for
// other paths (redirects, errors, cut bodies); 404 for anything else. Records every request.
#include "support/scriptedserver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <mutex>

namespace hl::test {

class ScriptedSite {
public:
    ScriptedSite();

    // Serves content at path, with extra header lines (each ending in CRLF) in GET and HEAD replies.
    void put(const QByteArray& path, const QByteArray& content, const QByteArray& headers = {});
    // Answers every request for path with exactly these bytes, closing the connection after them
    // when closeAfter is set (a body cut short).
    void reply(const QByteArray& path, const QByteArray& bytes, bool closeAfter = false);
    // Whether GET honours a "Range: bytes=N-" header (else it sends the whole file with 200).
    void setHonourRanges(bool honour);

    quint16 port() const { return server_.port(); }
    // "http://127.0.0.1:" + port + path.
    QString url(const QByteArray& path) const;
    // The request heads received so far, in order.
    QList<QByteArray> requests() const;
    // How many requests of method for path arrived.
    int count(const QByteArray& method, const QByteArray& path) const;

private:
    QByteArray respond(const QByteArray& request, bool& close);

    struct File {
        QByteArray content;
        QByteArray headers;
    };
    mutable std::mutex mutex_;
    QMap<QByteArray, File> files_;
    struct Reply {
        QByteArray bytes;
        bool closeAfter = false;
    };
    QMap<QByteArray, Reply> replies_;
    bool honourRanges_ = true;
    QList<QByteArray> requests_;
    ScriptedServer server_;
};

} // namespace hl::test
