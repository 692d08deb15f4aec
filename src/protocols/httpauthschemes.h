#pragma once
// The authentication schemes the HTTP client answers: Basic and Digest. NTLM and Negotiate have no
// security interface to rest on here, so their challenges are passed over like any unknown scheme.
#include "protocols/httpauthentication.h"

namespace hl {

class StandardAuthSchemes final : public HttpAuthSchemes {
public:
    // The first challenge of a supported scheme decides; an authenticator of another scheme is
    // replaced by one of that scheme.
    bool answer(const QStringList& challenges, const QString& username, const QString& password,
                std::unique_ptr<HttpAuthenticator>& authenticator) override;
};

} // namespace hl
