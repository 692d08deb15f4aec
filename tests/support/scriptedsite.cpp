#include "support/scriptedsite.h"

#include "support/httpscript.h"

namespace hl::test {

ScriptedSite::ScriptedSite()
    : server_([this](ScriptedConnection& connection) {
          for (;;) {
              const QByteArray request = connection.readHead();
              if (request.isEmpty()) return;
              bool close = false;
              connection.send(respond(request, close));
              if (close) return;
          }
      }) {}

void ScriptedSite::put(const QByteArray& path, const QByteArray& content, const QByteArray& headers) {
    std::lock_guard lock(mutex_);
    files_[path] = {content, headers};
}

void ScriptedSite::reply(const QByteArray& path, const QByteArray& bytes, bool closeAfter) {
    std::lock_guard lock(mutex_);
    replies_[path] = {bytes, closeAfter};
}

void ScriptedSite::setHonourRanges(bool honour) {
    std::lock_guard lock(mutex_);
    honourRanges_ = honour;
}

QString ScriptedSite::url(const QByteArray& path) const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port()) + QString::fromLatin1(path);
}

QList<QByteArray> ScriptedSite::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int ScriptedSite::count(const QByteArray& method, const QByteArray& path) const {
    int n = 0;
    for (const QByteArray& request : requests())
        if (requestLine(request) == method + ' ' + path + " HTTP/1.1") ++n;
    return n;
}

QByteArray ScriptedSite::respond(const QByteArray& request, bool& close) {
    std::lock_guard lock(mutex_);
    requests_.append(request);
    const QList<QByteArray> words = requestLine(request).split(' ');
    const QByteArray method = words.value(0);
    const QByteArray path = words.value(1);
    if (replies_.contains(path)) {
        close = replies_[path].closeAfter;
        return replies_[path].bytes;
    }
    if (!files_.contains(path)) return httpReply("HTTP/1.1 404 Not Found", {}, "no such file");
    const File& file = files_[path];
    if (method == "HEAD") {
        return "HTTP/1.1 200 OK\r\n" + file.headers +
               "Content-Length: " + QByteArray::number(file.content.size()) + "\r\n\r\n";
    }
    const QByteArray range = headerValue(request, "Range");
    if (honourRanges_ && range.startsWith("bytes=") && range.endsWith('-')) {
        const qsizetype from = range.mid(6).chopped(1).toLongLong();
        return httpReply("HTTP/1.1 206 Partial Content",
                         file.headers + "Content-Range: bytes " + QByteArray::number(from) + '-' +
                             QByteArray::number(file.content.size() - 1) + '/' +
                             QByteArray::number(file.content.size()) + "\r\n",
                         file.content.mid(from));
    }
    return httpReply("HTTP/1.1 200 OK", file.headers, file.content);
}

} // namespace hl::test
