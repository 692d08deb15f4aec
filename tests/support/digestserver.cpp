#include "support/digestserver.h"

#include "support/httpscript.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace hl::test {

namespace {

constexpr char kRealm[] = "r";

QByteArray md5Hex(const QByteArray& text) {
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

} // namespace

QByteArray digestField(const QByteArray& authorization, const char* name) {
    const QRegularExpression field(QStringLiteral("(?:^Digest |, )%1=\"?([^\",]*)").arg(QLatin1String(name)));
    return field.match(QString::fromLatin1(authorization)).captured(1).toLatin1();
}

DigestServer::DigestServer(QByteArray user, QByteArray password,
                           std::function<QByteArray(const QByteArray&)> ok, Role role)
    : user_(std::move(user)), password_(std::move(password)), ok_(std::move(ok)), role_(role) {}

QByteArray DigestServer::credentialsOf(const QByteArray& request) const {
    return headerValue(request, role_ == Role::Proxy ? "Proxy-Authorization" : "Authorization");
}

QByteArray DigestServer::respond(const QByteArray& request) {
    const QByteArray authorization = credentialsOf(request);
    if (authorization.isEmpty() || !valid(request, authorization)) return challenge("n1", false);
    std::lock_guard lock(mutex_);
    if (digestField(authorization, "nonce") == "n1" && ++usesOfFirstNonce_ > 2) return challenge("n2", true);
    return ok_(request);
}

// A server offers Digest first and Basic after it (a client takes the first scheme it supports);
// the proxy offers Digest alone.
QByteArray DigestServer::challenge(const QByteArray& nonce, bool stale) const {
    const QByteArray digest = QByteArray("Digest realm=\"") + kRealm + "\", nonce=\"" + nonce +
                              "\", qop=\"auth\", opaque=\"op\"" + (stale ? ", stale=true" : "");
    if (role_ == Role::Proxy)
        return httpReply("HTTP/1.1 407 Proxy Authentication Required",
                         "Proxy-Authenticate: " + digest + "\r\n", "");
    return httpReply("HTTP/1.1 401 Unauthorized",
                     "WWW-Authenticate: " + digest + "\r\nWWW-Authenticate: Basic realm=\"r\"\r\n", "");
}

bool DigestServer::valid(const QByteArray& request, const QByteArray& a) const {
    const QList<QByteArray> line = requestLine(request).split(' ');
    if (line.size() < 2) return false;
    const QByteArray ha1 = md5Hex(user_ + ':' + kRealm + ':' + password_);
    const QByteArray ha2 = md5Hex(line.at(0) + ':' + digestField(a, "uri"));
    const QByteArray expected = md5Hex(ha1 + ':' + digestField(a, "nonce") + ':' + digestField(a, "nc") +
                                       ':' + digestField(a, "cnonce") + ":auth:" + ha2);
    return digestField(a, "username") == user_ && digestField(a, "opaque") == "op" &&
           digestField(a, "uri") == line.at(1) && digestField(a, "response") == expected;
}

} // namespace hl::test
