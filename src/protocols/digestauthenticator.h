#pragma once
// The Digest scheme (RFC 7616): a hash over the credentials, the server's nonce, a client nonce and
// the request, never the password itself. MD5 and SHA-256, each also in its "-sess" form; quality
// of protection "auth", or none for servers of RFC 2069; "userhash".
#include "protocols/httpauthentication.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <functional>

namespace hl {

class DigestAuthenticator final : public HttpAuthenticator {
public:
    // Makes the client nonce for each accepted challenge; random when empty.
    using NonceSource = std::function<QString()>;
    explicit DigestAuthenticator(NonceSource clientNonce = {});

    // Whether a challenge can be answered: it carries a nonce, names a known algorithm (MD5 when
    // none), and offers "auth" when it offers any quality of protection.
    static bool supports(const HttpChallenge& challenge);

    QString scheme() const override { return QStringLiteral("Digest"); }
    // A challenge marked stale="true" takes the new nonce even when these credentials were sent.
    bool accept(const HttpChallenge& challenge, const QString& username, const QString& password) override;
    // Counts the nonce use (nc) and computes the response for method and target.
    QString headerValue(const QString& method, const QString& target) override;

private:
    QByteArray hash(const QByteArray& data) const;
    QByteArray bytes(const QString& text) const;
    QString usernameField() const;

    NonceSource clientNonce_;
    QString username_;
    QString password_;
    QString realm_;
    QString nonce_;
    QString opaque_;
    QString algorithm_;
    QCryptographicHash::Algorithm hashAlgorithm_ = QCryptographicHash::Md5;
    bool session_ = false;
    bool qopAuth_ = false;
    bool userhash_ = false;
    bool utf8_ = false;
    QString cnonce_;
    quint32 nonceCount_ = 0;
    bool sent_ = false;
};

} // namespace hl
