#pragma once
// The answers of a server behind Digest authentication (RFC 7616, MD5, qop "auth") for one user,
// checked independently of the client's code: a request with a correct response gets its reply,
// any other request the challenge. The first nonce is declared stale after two uses, so clients
// must take a new one. As a proxy it challenges with 407 and Digest alone, and reads
// Proxy-Authorization. Safe to call from several connection scripts at once.
#include <QByteArray>
#include <functional>
#include <mutex>

namespace hl::test {

// A field of a Digest Authorization value ("username", "nc", ...), unquoted; empty when absent.
QByteArray digestField(const QByteArray& authorization, const char* name);

class DigestServer {
public:
    enum class Role { Server, Proxy };

    // ok answers an authenticated request (it gets the request head).
    DigestServer(QByteArray user, QByteArray password, std::function<QByteArray(const QByteArray&)> ok,
                 Role role = Role::Server);

    // The reply for one request head.
    QByteArray respond(const QByteArray& request);

private:
    // The request's Authorization (Proxy-Authorization) value.
    QByteArray credentialsOf(const QByteArray& request) const;
    QByteArray challenge(const QByteArray& nonce, bool stale) const;
    bool valid(const QByteArray& request, const QByteArray& authorization) const;

    const QByteArray user_;
    const QByteArray password_;
    const std::function<QByteArray(const QByteArray&)> ok_;
    const Role role_;
    std::mutex mutex_;
    int usesOfFirstNonce_ = 0;
};

} // namespace hl::test
