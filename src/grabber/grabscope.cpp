#include "grabber/grabscope.h"

#include "grabber/urlresolution.h"

namespace hl {

QString DomainKey(const QString& url) {
    return RemoveProtocol(GetDomainName(url));
}

QString HostKey(const QString& url) {
    return RemoveProtocol(GetHostURL(url));
}

ScopeTest::ScopeTest(GrabScope scope, const QString& boxUrl) : scope_(scope), boxKey_(keyOf(boxUrl)) {}

bool ScopeTest::keeps(const QString& link) const {
    return scope_ == GrabScope::AllDomainNames || keyOf(link) == boxKey_;
}

QString ScopeTest::keyOf(const QString& url) const {
    switch (scope_) {
    case GrabScope::DomainName:
        return DomainKey(url);
    case GrabScope::SubdomainNameOnly:
        return HostKey(url);
    case GrabScope::AllDomainNames:
        break;
    }
    return {};
}

} // namespace hl
