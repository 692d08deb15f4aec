#pragma once
// Which links a grab keeps: all of them, those on the start URL's domain, or those on its host.
#include <QString>

namespace hl {

enum class GrabScope {
    AllDomainNames,    // every link
    DomainName,        // the same last two labels of the host (and port)
    SubdomainNameOnly, // the same host and port
};

// RemoveProtocol of GetDomainName: "example.com" for "https://www.example.com/a".
QString DomainKey(const QString& url);
// RemoveProtocol of GetHostURL: "www.example.com:8080" for "http://www.example.com:8080/a".
QString HostKey(const QString& url);

// The scope test against the URL box's text, whose key is worked out once. Keys compare exactly,
// letter case included; the scheme is not part of a key, so http and https links of one host match.
class ScopeTest {
public:
    ScopeTest(GrabScope scope, const QString& boxUrl);
    bool keeps(const QString& link) const;

private:
    QString keyOf(const QString& url) const;

    GrabScope scope_;
    QString boxKey_;
};

} // namespace hl
