#include "protocols/httpauthschemes.h"

#include "protocols/basicauthenticator.h"
#include "protocols/digestauthenticator.h"

namespace hl {

namespace {

std::unique_ptr<HttpAuthenticator> authenticatorFor(const HttpChallenge& challenge) {
    if (challenge.isScheme("Basic")) return std::make_unique<BasicAuthenticator>();
    if (DigestAuthenticator::supports(challenge)) return std::make_unique<DigestAuthenticator>();
    return nullptr;
}

} // namespace

bool StandardAuthSchemes::answer(const QStringList& challenges, const QString& username,
                                 const QString& password, std::unique_ptr<HttpAuthenticator>& authenticator) {
    for (const HttpChallenge& challenge : parseChallenges(challenges)) {
        std::unique_ptr<HttpAuthenticator> fresh = authenticatorFor(challenge);
        if (!fresh) continue;
        if (!authenticator || authenticator->scheme() != fresh->scheme()) authenticator = std::move(fresh);
        if (authenticator->accept(challenge, username, password)) return true;
        break;
    }
    authenticator.reset();
    return false;
}

} // namespace hl
