#include "protocols/cookiedate.h"
#include "protocols/httpcookiejar.h"
#include "protocols/setcookie.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(CookieDate, ReadsTheFormatsServersSend) {
    const QDateTime expected(QDate(2015, 10, 21), QTime(7, 28, 0), Qt::UTC);
    const char* const accepted[] = {
        "Wed, 21 Oct 2015 07:28:00 GMT",     // RFC 1123
        "Wednesday, 21-Oct-15 07:28:00 GMT", // RFC 850, two-digit year
        "Wed Oct 21 07:28:00 2015",          // asctime
        "21 october 2015 7:28:00",           // month names are read by their first three letters
        "2015-Oct-21 07:28:00xyz",           // whatever follows a part is ignored
    };
    for (const char* text : accepted)
        EXPECT_EQ(parseCookieDate(QLatin1String(text)), expected) << text;
    EXPECT_EQ(parseCookieDate(QStringLiteral("1 Jan 69 00:00:00"))->date().year(), 2069);
    EXPECT_EQ(parseCookieDate(QStringLiteral("1 Jan 70 00:00:00"))->date().year(), 1970);

    const char* const rejected[] = {
        "Wed, 21 Oct 2015",           // no time
        "Wed, 21 2015 07:28:00 GMT",  // no month
        "Wed, 31 Feb 2015 07:28:00",  // no such day
        "Wed, 21 Oct 2015 24:00:00",  // no such hour
        "Wed, 21 Oct 1600 07:28:00",  // before 1601
        "Wed, 21 Oct 20155 07:28:00", // five-digit year
        "",
    };
    for (const char* text : rejected)
        EXPECT_FALSE(parseCookieDate(QLatin1String(text))) << text;
}

TEST(SetCookieLine, ReadsNameValueAndTheLastOfEachAttribute) {
    const auto cookie = parseSetCookie(QStringLiteral(" id = a=b ; Path=/x; path=/docs; Domain=.Example.COM; "
                                                      "Max-Age=60; Secure; HttpOnly; SameSite=lax; Foo"));
    ASSERT_TRUE(cookie);
    EXPECT_EQ(cookie->Name, QStringLiteral("id"));
    EXPECT_EQ(cookie->Value, QStringLiteral("a=b"));
    EXPECT_EQ(cookie->Path, QStringLiteral("/docs"));
    EXPECT_EQ(cookie->Domain, QStringLiteral("example.com"));
    EXPECT_EQ(cookie->MaxAge, 60);
    EXPECT_TRUE(cookie->Secure);
    EXPECT_TRUE(cookie->HttpOnly);
    EXPECT_EQ(cookie->SameSite, QStringLiteral("Lax"));

    const auto relative = parseSetCookie(QStringLiteral("a=1; Path=docs; Max-Age=soon; Domain="));
    ASSERT_TRUE(relative);
    EXPECT_FALSE(relative->Path);   // not starting with "/": the default path applies
    EXPECT_FALSE(relative->MaxAge); // not a number: ignored
    EXPECT_FALSE(relative->Domain); // empty: ignored

    for (const char* ignored : {"no-equals-sign", "=value", "a=b\x01", "n\xC3\xA4me=1"})
        EXPECT_FALSE(parseSetCookie(QString::fromUtf8(ignored))) << ignored;
    EXPECT_FALSE(parseSetCookie(QStringLiteral("a=") + QString(4096, QLatin1Char('x'))));
}

TIdURI uri(const char* url) {
    TIdURI target;
    mergeURI(target, parseURI(QLatin1String(url)));
    return target;
}

class CookieJar : public testing::Test {
protected:
    void set(const char* url, std::initializer_list<const char*> values) {
        TIdHeaderList headers;
        for (const char* value : values)
            headers.AddLine(QStringLiteral("Set-Cookie: ") + QLatin1String(value));
        jar.storeReplyCookies(uri(url), headers);
    }
    QString sent(const char* url) { return jar.cookieHeader(uri(url)); }

    QDateTime now{QDate(2024, 3, 1), QTime(12, 0), Qt::UTC};
    HttpCookieJar jar{[this] { return now; }};
};

TEST_F(CookieJar, DomainAndPathDecideWhereACookieGoes) {
    set("http://www.example.com/docs/page.html", {"host=1", "wide=2; Domain=example.com; Path=/",
                                                  "dir=3; Path=/docs/", "other=4; Domain=example.org"});
    EXPECT_EQ(sent("http://www.example.com/docs/a"), QStringLiteral("dir=3; host=1; wide=2"));
    EXPECT_EQ(sent("http://WWW.Example.com/docs"), QStringLiteral("host=1; wide=2"));
    EXPECT_EQ(sent("http://www.example.com/docsx"), QStringLiteral("wide=2"));
    EXPECT_EQ(sent("http://example.com/docs/a"), QStringLiteral("wide=2")); // host-only stays on www
    EXPECT_EQ(sent("http://img.example.com/"), QStringLiteral("wide=2"));
    EXPECT_EQ(sent("http://badexample.com/docs/"), QString());
    EXPECT_EQ(sent("http://example.org/"), QString()); // a domain the host is not in was dropped
}

TEST_F(CookieJar, DefaultPathIsTheRequestsDirectory) {
    set("http://h.test/a/b/c", {"x=1"});
    EXPECT_EQ(sent("http://h.test/a/b"), QStringLiteral("x=1"));
    EXPECT_EQ(sent("http://h.test/a/b/d/e"), QStringLiteral("x=1"));
    EXPECT_EQ(sent("http://h.test/a/"), QString());
}

TEST_F(CookieJar, LongerPathsGoFirstThenOlderCookies) {
    set("http://h.test/", {"b=1; Path=/", "a=2; Path=/"});
    set("http://h.test/", {"deep=3; Path=/x/y", "mid=4; Path=/x"});
    set("http://h.test/", {"b=5; Path=/"}); // a replaced cookie keeps its place
    EXPECT_EQ(sent("http://h.test/x/y/z"), QStringLiteral("deep=3; mid=4; b=5; a=2"));
}

TEST_F(CookieJar, ExpiryRemovesCookies) {
    set("http://h.test/",
        {"session=1", "minute=2; Max-Age=60", "dated=3; Expires=Fri, 01 Mar 2024 13:00:00 GMT",
         "gone=4; Expires=Thu, 01 Jan 2015 00:00:00 GMT",
         "maxagewins=5; Max-Age=0; Expires=Fri, 01 Mar 2030 13:00:00 GMT"});
    EXPECT_EQ(sent("http://h.test/"), QStringLiteral("session=1; minute=2; dated=3"));
    now = now.addSecs(61);
    EXPECT_EQ(sent("http://h.test/"), QStringLiteral("session=1; dated=3"));
    set("http://h.test/", {"session=; Max-Age=0"}); // the way servers delete a cookie
    EXPECT_EQ(sent("http://h.test/"), QStringLiteral("dated=3"));
    now = now.addSecs(3600);
    EXPECT_EQ(sent("http://h.test/"), QString());
}

TEST_F(CookieJar, SecureCookiesAndPrefixes) {
    set("https://h.test/", {"s=1; Secure", "__Secure-ok=2; Secure", "__Secure-no=3",
                            "__Host-ok=4; Secure; Path=/", "__Host-path=5; Secure; Path=/x",
                            "__Host-domain=6; Secure; Path=/; Domain=h.test", "__Host-insecure=7; Path=/"});
    set("http://h.test/", {"fromhttp=8; Secure"}); // plain http cannot set a Secure cookie
    EXPECT_EQ(sent("https://h.test/x/y"), QStringLiteral("s=1; __Secure-ok=2; __Host-ok=4"));
    EXPECT_EQ(sent("http://h.test/x/y"), QString());
}

TEST_F(CookieJar, AddressesAndSingleLabelsMatchOnlyThemselves) {
    set("http://127.0.0.1/", {"ip=1", "suffix=2; Domain=0.0.1"});
    set("http://localhost/", {"own=3; Domain=localhost"});
    set("http://www.example.com/", {"tld=4; Domain=com"});
    EXPECT_EQ(sent("http://127.0.0.1/"), QStringLiteral("ip=1"));
    EXPECT_EQ(sent("http://localhost/"), QStringLiteral("own=3"));
    EXPECT_EQ(sent("http://sub.localhost/"), QString()); // taken as host-only
    EXPECT_EQ(sent("http://www.example.com/"), QString());
}

TEST_F(CookieJar, KeepsAtMostFiftyPerDomainDroppingTheLeastRecentlyUsed) {
    set("http://h.test/", {"first=1"});
    for (int i = 0; i < HttpCookieJar::kMaxCookiesPerDomain - 1; ++i)
        set("http://h.test/", {qPrintable(QStringLiteral("c%1=x").arg(i))});
    set("http://h.test/first/", {"used=1; Path=/first"});
    EXPECT_EQ(jar.cookies().size(), HttpCookieJar::kMaxCookiesPerDomain);
    EXPECT_FALSE(sent("http://h.test/").contains(QStringLiteral("first=1")));
}

} // namespace
} // namespace hl
