#pragma once
// The Basic scheme (RFC 7617): user name and password, Base64-encoded, with every request.
#include "protocols/httpauthentication.h"

namespace hl {

class BasicAuthenticator final : public HttpAuthenticator {
public:
    QString scheme() const override { return QStringLiteral("Basic"); }
    bool accept(const HttpChallenge& challenge, const QString& username, const QString& password) override;
    // "Basic " + Base64 of user ":" password, in the challenge's character set.
    QString headerValue(const QString& method, const QString& target) override;

private:
    QString username_;
    QString password_;
    QString charset_;
    bool sent_ = false;
};

} // namespace hl
