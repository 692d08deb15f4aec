#include "protocols/basicauthenticator.h"

#include "protocols/authcharset.h"

namespace hl {

bool BasicAuthenticator::accept(const HttpChallenge& challenge, const QString& username,
                                const QString& password) {
    if (username.isEmpty()) return false;
    // Basic has no second step: asked again for the same credentials, they were refused.
    if (sent_ && username == username_ && password == password_) return false;
    username_ = username;
    password_ = password;
    charset_ = challengeCharset(challenge);
    sent_ = false;
    return true;
}

QString BasicAuthenticator::headerValue(const QString&, const QString&) {
    sent_ = true;
    const QByteArray credentials = encodeCredentials(username_ + QLatin1Char(':') + password_, charset_);
    return QStringLiteral("Basic ") + QString::fromLatin1(credentials.toBase64());
}

} // namespace hl
