// The scanner: which values the two passes and four needles find, in which order.
#include "grabber/linkscanner.h"
#include "support/qtprinters.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace hl {
namespace {

using Found = std::vector<std::pair<QString, LinkValueKind>>;

Found scan(const QString& page) {
    Found found;
    ScanLinkValues(page, [&](QStringView value, LinkValueKind kind) {
        found.emplace_back(value.toString(), kind);
        return true;
    });
    return found;
}

QStringList values(const QString& page) {
    QStringList result;
    for (const auto& [value, kind] : scan(page))
        result << value;
    return result;
}

constexpr auto Href = LinkValueKind::Href;
constexpr auto Source = LinkValueKind::Source;
constexpr auto Loc = LinkValueKind::SitemapLoc;

TEST(LinkScanner, FindsOnlyQuotedAttributesAfterABlank) {
    struct Case {
        const char* page;
        QStringList expected;
    };
    const Case cases[] = {
        {R"(<A HREF="upper.html">)", {"upper.html"}},
        {R"(<a href = "spaced.html">)", {}},
        {R"(<a href=unquoted.html>)", {}},
        {"<a\nhref=\"after-break.html\">", {}},
        {"<a\thref=\"after-tab.html\">", {}},
        {R"(<img data-src="lazy.png">)", {"lazy.png"}},
        {R"(<a href="">)", {""}},
        {R"(<a href="Mixed Case/Ünïcode.html">)", {"Mixed Case/Ünïcode.html"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(values(QString::fromUtf8(c.page)), c.expected) << c.page;
}

TEST(LinkScanner, DoubleQuotesInTheFirstPassSingleQuotesInTheSecond) {
    EXPECT_EQ(scan(QStringLiteral(R"(<a href='single.html'><img src="double.png"><a href="double.html">)")),
              (Found{{"double.html", Href}, {"single.html", Href}}));
}

TEST(LinkScanner, EachSearchOfAPassContinuesWhereThePreviousOneStopped) {
    // The source search starts after the last double-quoted href, so the image before it is missed.
    EXPECT_EQ(scan(QStringLiteral(R"(<img src="before.png"><a href="link.html"><img src="after.png">)")),
              (Found{{"link.html", Href}, {"after.png", Source}}));
    // The same holds for data-src after src, and for <loc> after data-src; each pass starts over.
    EXPECT_EQ(scan(QStringLiteral(R"(<loc>a</loc><i data-src="d"><i src="s"><loc>b</loc>)")),
              (Found{{"s", Source}, {"b", Loc}, {"a", Loc}, {"b", Loc}}));
}

TEST(LinkScanner, AValueWithoutTerminatorIsEmptyAndTheSearchGoesOnAfterItsNeedle) {
    EXPECT_EQ(scan(QStringLiteral(R"(<a href="<loc>site</loc>)")),
              (Found{{"", Href}, {"site", Loc}, {"site", Loc}}));
    EXPECT_EQ(values(QStringLiteral("<loc>no end")), (QStringList{"", ""}));
}

TEST(LinkScanner, SitemapLocationsKeepTheirCaseAndLineBreaks) {
    EXPECT_EQ(values(QStringLiteral("<URLSET><URL><LOC>\r\n http://h.test/A \r\n</LOC></URL>")),
              (QStringList{"\r\n http://h.test/A \r\n", "\r\n http://h.test/A \r\n"}));
}

TEST(LinkScanner, VisitCanEndTheScan) {
    int visits = 0;
    ScanLinkValues(QStringLiteral(R"( href="a" href="b" href='c')"),
                   [&](QStringView, LinkValueKind) { return ++visits < 2; });
    EXPECT_EQ(visits, 2);
}

TEST(LinkScanner, BaseHref) {
    struct Case {
        const char* page;
        const char* expected;
    };
    const Case cases[] = {
        {R"(<head><base href="http://h.test/Dir/"></head>)", "http://h.test/Dir/"},
        {R"(<BASE target="_top" HREF='sub/'>)", "sub/"},
        {R"(<base href="first/"><base href="second/">)", "first/"},
        {R"(<base href=unquoted/>)", ""},
        {R"(<base href="no-closing-quote>)", ""},
        {R"(<base target="_blank">)", ""},
        {R"(<base href="never-closed/")", ""},
        {"<base\thref=\"tab/\">", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetBaseHref(QString::fromUtf8(c.page)), QString::fromUtf8(c.expected)) << c.page;
}

} // namespace
} // namespace hl
