#pragma once
// Where answers to authentication challenges (401 from a server, 407 from an HTTP proxy) plug into
// the HTTP client: an authenticator per scheme, and the choice of scheme for a challenge.
#include "protocols/httpchallenge.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace hl {

// The state of one scheme (Basic, Digest) for one client: credentials, challenge parameters, and
// whether its credentials went out.
class HttpAuthenticator {
public:
    virtual ~HttpAuthenticator() = default;
    // The scheme name it answers ("Basic", "Digest").
    virtual QString scheme() const = 0;
    // Takes a challenge of its scheme with the credentials to answer it. Returns whether a request
    // carrying its value can be made: false without a user name, and false when these credentials
    // already went out and were refused (a new challenge after them that does not merely ask for a
    // fresh nonce).
    virtual bool accept(const HttpChallenge& challenge, const QString& username, const QString& password) = 0;
    // The Authorization (or Proxy-Authorization) value for a request of method to target (the
    // request target as the request line names it). The credentials count as sent from then on.
    virtual QString headerValue(const QString& method, const QString& target) = 0;
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
