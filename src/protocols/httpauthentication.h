#pragma once
// Where answers to authentication challenges (401 from a server, 407 from an HTTP proxy) plug into
// the HTTP client. The schemes themselves live with the authentication layer.
#include <QString>
#include <QStringList>
#include <memory>

namespace hl {

// The state of one scheme (Basic, Digest, ...) for one client: credentials, challenge
// parameters, its step.
class HttpAuthenticator {
public:
    virtual ~HttpAuthenticator() = default;
    // The Authorization (or Proxy-Authorization) value for the next request.
    virtual QString headerValue() = 0;
};

// Answers challenges. Called on the client's thread, once per 401 or 407 reply while the client's
// retry limit allows.
class HttpAuthSchemes {
public:
    virtual ~HttpAuthSchemes() = default;
    // challenges: the WWW-Authenticate (or Proxy-Authenticate) values, in order. Picks the first
    // supported scheme, creates authenticator for it or reuses the one already there, and hands it
    // the credentials. Returns whether a request carrying authenticator's value can be made; when
    // not (no scheme fits, or the scheme cannot go on) it leaves authenticator reset.
    virtual bool answer(const QStringList& challenges, const QString& username, const QString& password,
                        std::unique_ptr<HttpAuthenticator>& authenticator) = 0;
};

} // namespace hl
