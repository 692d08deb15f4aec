#include "protocols/httpuri.h"
#include "protocols/idexceptions.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

struct ParseCase {
    const char* url;
    const char* protocol;
    const char* user;
    const char* password;
    const char* host;
    const char* port;
    const char* path;
    const char* document;
    const char* params;
    const char* bookmark;
};

TEST(HttpUri, SplitsUrlsIntoTheirParts) {
    const ParseCase cases[] = {
        {"http://h/d/f.zip", "http", "", "", "h", "", "/d/", "f.zip", "", ""},
        {"HTTPS://u:p:q@h:8443/a/b?x=1&y=/z#top", "https", "u", "p:q", "h", "8443", "/a/", "b", "x=1&y=/z",
         "top"},
        {"http://a@b@h", "http", "a@b", "", "h", "", "/", "", "", ""},
        {"http://[::1]:81/x", "http", "", "", "::1", "81", "/", "x", "", ""},
        {"http://h\\d\\f.zip?q=a\\b", "http", "", "", "h", "", "/d/", "f.zip", "q=a\\b", ""},
        {"http://h?only=query", "http", "", "", "h", "", "/", "", "only=query", ""},
        {"//cdn.h/lib.js", "", "", "", "cdn.h", "", "/", "lib.js", "", ""},
        {"../b/f.zip", "", "", "", "", "", "../b/", "f.zip", "", ""},
        {"..\\b\\f.zip?q=a\\b", "", "", "", "", "", "../b/", "f.zip", "q=a\\b", ""},
        {"other.zip", "", "", "", "", "", "", "other.zip", "", ""},
        // A "://" inside a query is no scheme, and a "?" inside a fragment is no query.
        {"/go?to=http://x/y", "", "", "", "", "", "/", "go", "to=http://x/y", ""},
        {"http://h/app/#/route?id=3", "http", "", "", "h", "", "/app/", "", "", "/route?id=3"},
    };
    for (const ParseCase& c : cases) {
        const TIdURI uri = parseURI(QString::fromUtf8(c.url));
        SCOPED_TRACE(c.url);
        EXPECT_EQ(uri.Protocol, QString::fromUtf8(c.protocol));
        EXPECT_EQ(uri.Username, QString::fromUtf8(c.user));
        EXPECT_EQ(uri.Password, QString::fromUtf8(c.password));
        EXPECT_EQ(uri.Host, QString::fromUtf8(c.host));
        EXPECT_EQ(uri.Port, QString::fromUtf8(c.port));
        EXPECT_EQ(uri.Path, QString::fromUtf8(c.path));
        EXPECT_EQ(uri.Document, QString::fromUtf8(c.document));
        EXPECT_EQ(uri.Params, QString::fromUtf8(c.params));
        EXPECT_EQ(uri.Bookmark, QString::fromUtf8(c.bookmark));
    }
    EXPECT_TRUE(parseURI(QStringLiteral("http://[::1]/")).IPv6);
}

TEST(HttpUri, ResolvesPaths) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/a/x/", "../b/", "/a/b/"},
        {"/a/x/", "", "/a/x/"},
        {"/a/x/", "/y/", "/y/"},
        {"/a/x/", "../../../", "/"},
        {"/a/x/", "./c/", "/a/x/./c/"},
        {"/a/x", "c/", "/a/x/c/"},
        {"/a//x/", "", "/a/x/"},
        {"/a/", "..", "/"},
        {"/a/x/", "..b/", "/a/x/..b/"},
        {"/a/x/", "c", "/a/x/c"},
        {"", "c/", "c/"},
    };
    for (const auto& [base, relative, expected] : cases)
        EXPECT_EQ(resolvePath(QString::fromUtf8(base), QString::fromUtf8(relative)),
                  QString::fromUtf8(expected))
            << base << " + " << relative;
}

TIdURI merged(std::initializer_list<const char*> urls) {
    TIdURI target;
    for (const char* url : urls)
        mergeURI(target, parseURI(QString::fromUtf8(url)));
    return target;
}

TEST(HttpUri, MergesRedirectTargetsIntoTheCurrentOne) {
    EXPECT_EQ(absoluteURI(merged({"http://h/a/x/page", "../b/f.zip"})), QStringLiteral("http://h/a/b/f.zip"));
    EXPECT_EQ(absoluteURI(merged({"http://h/a/x/page", "f2.zip?v=2"})),
              QStringLiteral("http://h/a/x/f2.zip?v=2"));
    // Backslashes in a relative Location are slashes, as in an absolute one: the target's absolute
    // URL (through a proxy, on a repeated request) then names the same place as the direct request.
    EXPECT_EQ(absoluteURI(merged({"http://h/a/x/page", "..\\b\\f.zip"})),
              QStringLiteral("http://h/a/b/f.zip"));
    EXPECT_EQ(absoluteURI(merged({"https://h:8443/a/", "/b"})), QStringLiteral("https://h:8443/b"));
    EXPECT_EQ(absoluteURI(merged({"https://h:8443/a/", "//other/c"})),
              QStringLiteral("https://other:8443/c"));
    EXPECT_EQ(absoluteURI(merged({"https://h:8443/a/", "http://other/c"})), QStringLiteral("http://other/c"));
    EXPECT_EQ(merged({"https://h/"}).Port, QStringLiteral("443"));
    EXPECT_THROW(merged({"ftp://h/file"}), EIdUnknownProtocol);
    TIdURI current = merged({"http://h/a/"});
    EXPECT_THROW(mergeURI(current, parseURI(QStringLiteral("ftp://other/b"))), EIdUnknownProtocol);
    EXPECT_EQ(absoluteURI(current), QStringLiteral("http://h/a/"));
    EXPECT_THROW(merged({"/only/a/path"}), EIdUnknownProtocol);
}

TEST(HttpUri, BuildsHostValuesAndRequestTargets) {
    const TIdURI plain = merged({"http://h/d/f?q=1#frag"});
    EXPECT_EQ(requestTarget(plain), QStringLiteral("/d/f?q=1"));
    EXPECT_EQ(hostHeaderValue(plain, false), QStringLiteral("h"));
    EXPECT_EQ(hostHeaderValue(plain, true), QStringLiteral("h:80"));
    EXPECT_EQ(hostHeaderValue(merged({"https://[::1]:444/"}), false), QStringLiteral("[::1]:444"));
    EXPECT_EQ(hostHeaderValue(merged({"https://h:80/"}), false), QStringLiteral("h:80"));
    EXPECT_EQ(absoluteURI(merged({"https://u:p@h:443/x"})), QStringLiteral("https://h/x"));
    // What the URL put in brackets stays in brackets, so the written URL names the same server.
    const TIdURI bracketed = merged({"https://[\xff]].test/a"});
    EXPECT_EQ(absoluteURI(bracketed), QStringLiteral("https://[\uFFFD]/a"));
    EXPECT_EQ(parseURI(absoluteURI(bracketed)).Host, bracketed.Host);
    EXPECT_TRUE(parseURI(absoluteURI(bracketed)).IPv6);
    EXPECT_EQ(authorityWithPort(bracketed), QStringLiteral("[\uFFFD]:443"));
    const TIdURI doubled = merged({"https://[[::1]/x"});
    EXPECT_EQ(parseURI(absoluteURI(doubled)).Host, doubled.Host);
    EXPECT_EQ(parseURI(absoluteURI(doubled)).Port, QString());
    EXPECT_EQ(connectPort(merged({"http://h:abc/"})), 80);
    EXPECT_EQ(connectPort(merged({"http://h:8080/"})), 8080);
}

TEST(HttpUri, RequestTargetsCarryNonAsciiAsUtf8Escapes) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://h/data/caf\u00e9.bin", "/data/caf%C3%A9.bin"},
        {"http://h/\u65e5/?q=\u00e9&r=1", "/%E6%97%A5/?q=%C3%A9&r=1"},
        {"http://h/\U0001F600.png", "/%F0%9F%98%80.png"}, // a surrogate pair is one character
        {"http://h/caf%C3%A9%20x.bin?a=%zz", "/caf%C3%A9%20x.bin?a=%zz"},
        {"http://h/ctl\x7F", "/ctl\x7F"}, // ASCII is the head writer's business
    };
    for (const auto& [url, target] : cases)
        EXPECT_EQ(requestTarget(merged({url})), QString::fromUtf8(target)) << url;
    // Through a proxy the path is encoded the same way; the host is left alone.
    EXPECT_EQ(absoluteURI(merged({"http://h\u00e9/caf\u00e9"})),
              QString::fromUtf8("http://h\u00e9/caf%C3%A9"));
}

} // namespace
} // namespace hl
