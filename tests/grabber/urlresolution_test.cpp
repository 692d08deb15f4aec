// The string arithmetic of link resolution: the helpers, the base step and the page step, on a page
// two directories below its host.
#include "grabber/urlresolution.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

const QString kPage = QStringLiteral("http://www.site.test/first/second/doc.html");

struct Case {
    const char* input;
    const char* expected;
};

TEST(UrlResolution, Helpers) {
    EXPECT_EQ(RemoveProtocol(QStringLiteral("HTTPS://Host/x")), QStringLiteral("Host/x"));
    EXPECT_EQ(RemoveProtocol(QStringLiteral("hTTp://h")), QStringLiteral("h"));
    EXPECT_EQ(RemoveProtocol(QStringLiteral("ftp://h")), QStringLiteral("ftp://h"));

    const Case hostUrls[] = {
        {"http://h:8080/x/y", "http://h:8080"},
        {"https://h", "https://h"},
        {"HTTP://h/x", ""},
        {"mailto:a@h.test", ""},
        {"", ""},
    };
    for (const Case& c : hostUrls)
        EXPECT_EQ(GetHostURL(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected)) << c.input;

    const Case domains[] = {
        {"http://a.b.site.test:8080/x", "http://site.test:8080"},
        {"https://site.test/x", "https://site.test"},
        {"http://localhost/x", "http://localhost"},
        {"http://www.site.co.uk/", "http://co.uk"}, // no public-suffix list
        {"ftp://a.b.test/", ""},
        {"Http://a.b.test/", ""},
    };
    for (const Case& c : domains)
        EXPECT_EQ(GetDomainName(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected)) << c.input;

    EXPECT_EQ(GetRootURL(QStringLiteral("ftp://h/x/y")), QStringLiteral("ftp://h"));
    EXPECT_EQ(GetRootURL(QStringLiteral("http://h")), QStringLiteral("http://h"));

    EXPECT_EQ(RemoveLastSegments(kPage, 1), QStringLiteral("http://www.site.test/first/second"));
    EXPECT_EQ(RemoveLastSegments(QStringLiteral("http://h/a/b/"), 1), QStringLiteral("http://h/a"));
    EXPECT_EQ(RemoveLastSegments(QStringLiteral("http://h/a/b/"), 0), QStringLiteral("http://h/a/b"));
    EXPECT_EQ(RemoveLastSegments(QStringLiteral("a/b"), 2), QString());
    EXPECT_EQ(RemoveLastSegments(QStringLiteral("a/b"), -1), QString());

    EXPECT_EQ(CountParentRefs(QStringLiteral("../../x")), 2);
    EXPECT_EQ(CountParentRefs(QStringLiteral("../../..")), 3);
    EXPECT_EQ(CountParentRefs(QStringLiteral("..x")), 1);
    EXPECT_EQ(CountParentRefs(QStringLiteral("x/../")), 0);
}

TEST(UrlResolution, PageStepOnAPageTwoDirectoriesDeep) {
    const Case cases[] = {
        {"/x.html", "http://www.site.test/x.html"},
        {"name.html", "http://www.site.test/first/second/name.html"},
        {"./name.html", "http://www.site.test/first/second/./name.html"},
        {".", "http://www.site.test/first/second/"},
        {"..", "http://www.site.test/first/"},
        {"../name.html", "http://www.site.test/first/name.html"},
        {"../../name.html", "http://www.site.test/name.html"},
        {"../../../name.html", "http://www.site.test/name.html"}, // never above the host
        {"HTTP://other.test/x", "http://www.site.test/first/second/HTTP://other.test/x"},
        {"https://other.test/x", "https://other.test/x"},
        {"", "http://www.site.test/first/second/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveAgainstPage(QString::fromUtf8(c.input), kPage), QString::fromUtf8(c.expected))
            << c.input;

    // A page URL without a path has the host URL as its directory.
    EXPECT_EQ(ResolveAgainstPage(QStringLiteral("a"), QStringLiteral("http://h")),
              QStringLiteral("http://h/a"));
    // Without an http page URL a relative link stays as it is.
    EXPECT_EQ(ResolveAgainstPage(QStringLiteral("mailto:x@h.test"), QString()),
              QStringLiteral("mailto:x@h.test"));
}

TEST(UrlResolution, ProtocolRelativeLinksTakeThePagesScheme) {
    const QString link = QStringLiteral("//cdn.site.test/lib.js");
    EXPECT_EQ(ResolveAgainstBase(link, kPage, {}), QStringLiteral("http://cdn.site.test/lib.js"));
    QString https = kPage;
    https.insert(4, QLatin1Char('s'));
    EXPECT_EQ(ResolveAgainstBase(link, https, {}), QStringLiteral("https://cdn.site.test/lib.js"));
    // The same with a base tag, whose root would otherwise be put in front of the "//".
    EXPECT_EQ(ResolveAgainstBase(link, kPage, QStringLiteral("http://www.site.test/base/")),
              QStringLiteral("http://cdn.site.test/lib.js"));
    EXPECT_EQ(ResolveAgainstBase(QStringLiteral("//"), kPage, {}), QStringLiteral("//"));
}

struct BaseCase {
    const char* base;
    const char* link;
    const char* expected;
};

TEST(UrlResolution, BaseStep) {
    const BaseCase cases[] = {
        // A directory on the same host.
        {"http://www.site.test/base/dir/", "name.html", "http://www.site.test/base/dir/name.html"},
        {"http://www.site.test/base/dir/", "/root.html", "http://www.site.test/root.html"},
        {"http://www.site.test/base/dir/", "../up.html", "http://www.site.test/base/up.html"},
        {"http://www.site.test/base/dir/", "../../up.html", "http://www.site.test/up.html"},
        {"http://www.site.test/base/dir/", "/../x.html", "http://www.site.test/x.html"},
        {"http://www.site.test/base/dir/", "https://other.test/a", "https://other.test/a"},
        // Steps above the base's host stay at its root.
        {"http://www.site.test/base/", "../../../up.html", "http://www.site.test/up.html"},
        // A base naming a document is cut after its last "/".
        {"http://www.site.test/base/doc.html", "name.html", "http://www.site.test/base/name.html"},
        // A relative base goes after the page's directory.
        {"sub/", "name.html", "http://www.site.test/first/second/sub/name.html"},
        // A base without "/" after its host is cut back to its scheme prefix.
        {"http://www.site.test", "name.html", "http://name.html"},
        // A base without "/" at all is no base.
        {"nothing", "name.html", "name.html"},
        {"", "/../../x", "/x"},
    };
    for (const BaseCase& c : cases)
        EXPECT_EQ(ResolveAgainstBase(QString::fromUtf8(c.link), kPage, QString::fromUtf8(c.base)),
                  QString::fromUtf8(c.expected))
            << c.base << " + " << c.link;
}

} // namespace
} // namespace hl
