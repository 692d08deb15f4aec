#pragma once
// Where a cookie jar plugs into the HTTP client: it sees every reply's headers and supplies the
// Cookie value of every request.
#include "protocols/httpheaderlist.h"
#include "protocols/httpuri.h"

#include <QString>

namespace hl {

class HttpCookieStore {
public:
    virtual ~HttpCookieStore() = default;
    // Called on the client's thread right after the headers of every reply (1xx included) that
    // was received for uri.
    virtual void storeReplyCookies(const TIdURI& uri, const TIdHeaderList& headers) = 0;
    // The Cookie value for a request to uri; empty when no cookie applies.
    virtual QString cookieHeader(const TIdURI& uri) = 0;
};

} // namespace hl
