// From page text to appended lines: the pipeline's steps and the duplicate test of the list.
#include "grabber/linkpipeline.h"
#include "grabber/urllistappender.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

const QString kPage = QStringLiteral("http://www.site.test/first/second/doc.html");

// The URL list as a plain list of lines.
class LineList final : public UrlListAccess {
public:
    explicit LineList(QStringList lines = {}) : lines(std::move(lines)) {}
    QStringList Lines() const override {
        ++reads;
        return lines;
    }
    void AppendLines(const QStringList& links) override {
        lines += links;
        ++appends;
    }
    QStringList lines;
    mutable int reads = 0;
    int appends = 0;
};

class ListSink final : public LinkSink {
public:
    explicit ListSink(UrlListAppender& appender) : appender_(appender) {}
    void Found(const QString& link) override { appender_.Ekle({link}); }

private:
    UrlListAppender& appender_;
};

// The links a page adds to a list that starts with `listed`.
QStringList grab(const QString& page, GrabCriteria criteria = {}, const QStringList& listed = {},
                 quint64* count = nullptr) {
    if (criteria.boxUrl.isEmpty()) criteria.boxUrl = kPage;
    LineList list(listed);
    UrlListAppender appender(list);
    ListSink sink(appender);
    CollectLinks(page, kPage, criteria, sink);
    if (count) *count = appender.AddedLinkCount();
    return list.lines.mid(listed.size());
}

QString anchor(const char* href) {
    return QStringLiteral(R"(<a href="%1">)").arg(QString::fromUtf8(href));
}

TEST(LinkPipeline, ResolvesFragmentsMailAndScriptLinks) {
    struct Case {
        const char* href;
        QStringList expected;
    };
    const Case cases[] = {
        {"#section", {"http://www.site.test/first/second/"}},
        {"page.html#section", {"http://www.site.test/first/second/page.html"}},
        {"MailTo:Someone@Site.test", {"MailTo:Someone@Site.test"}},
        {"javascript:void(0)", {}},
        // The script test compares letter case exactly.
        {"JavaScript:go()", {"http://www.site.test/first/second/JavaScript:go()"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grab(anchor(c.href)), c.expected) << c.href;
}

TEST(LinkPipeline, AScriptLinkStaysOutWhenABaseTagWouldDressItUp) {
    const QString page = QStringLiteral(R"(<base href="http://www.site.test/b/">)") +
                         anchor("javascript:void(0)") + anchor("x.html");
    // The base tag's own href is a link like any other.
    EXPECT_EQ(grab(page), (QStringList{"http://www.site.test/b/", "http://www.site.test/b/x.html"}));
}

TEST(LinkPipeline, SitemapLocationsIgnoreTheBaseTag) {
    const QString page = QStringLiteral(R"(<base href="http://www.site.test/b/"><loc>y.html</loc>)");
    EXPECT_EQ(grab(page),
              (QStringList{"http://www.site.test/b/", "http://www.site.test/first/second/y.html"}));
}

TEST(LinkPipeline, ScopesCompareKeysWithoutSchemeButWithLetterCase) {
    const QString page =
        anchor("http://www.site.test/same-host") + anchor("https://www.site.test/other-scheme") +
        anchor("http://cdn.site.test/same-domain") + anchor("http://WWW.site.test/upper-host") +
        anchor("http://cdn.SITE.test/upper-domain") + anchor("http://other.test/other-domain") +
        anchor("mailto:a@site.test");
    struct Case {
        GrabScope scope;
        QStringList expected;
    };
    const Case cases[] = {
        {GrabScope::AllDomainNames,
         {"http://www.site.test/same-host", "https://www.site.test/other-scheme",
          "http://cdn.site.test/same-domain", "http://WWW.site.test/upper-host",
          "http://cdn.SITE.test/upper-domain", "http://other.test/other-domain", "mailto:a@site.test"}},
        {GrabScope::DomainName,
         {"http://www.site.test/same-host", "https://www.site.test/other-scheme",
          "http://cdn.site.test/same-domain", "http://WWW.site.test/upper-host"}},
        {GrabScope::SubdomainNameOnly,
         {"http://www.site.test/same-host", "https://www.site.test/other-scheme"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grab(page, {c.scope, {}, {}}), c.expected) << int(c.scope);
}

TEST(LinkPipeline, FilterComparesLettersWithoutCaseAndIsNotTrimmed) {
    const QString page = anchor("file.pdf") + anchor("FILE2.PDF") + anchor("file.zip");
    EXPECT_EQ(grab(page, {GrabScope::AllDomainNames, {}, QStringLiteral("PdF")}),
              (QStringList{"http://www.site.test/first/second/file.pdf",
                           "http://www.site.test/first/second/FILE2.PDF"}));
    EXPECT_EQ(grab(page, {GrabScope::AllDomainNames, {}, QStringLiteral(" pdf")}), QStringList());
}

TEST(LinkPipeline, DuplicatesAreWholeLinesWithTheirLetterCaseAndAreNotCounted) {
    const QString page = anchor("http://h.test/A") + anchor("http://h.test/a") + anchor("http://h.test/a") +
                         anchor("javascript:x") + anchor("http://h.test/new");
    quint64 count = 0;
    EXPECT_EQ(grab(page, {}, {"http://h.test/A", "http://h.test/a "}, &count),
              (QStringList{"http://h.test/a", "http://h.test/new"}));
    EXPECT_EQ(count, 2u);
}

TEST(LinkPipeline, ScanningThePageAgainAddsNothing) {
    const QString page = anchor("a.html") + QStringLiteral("<loc>http://h.test/b</loc>");
    const QStringList first = grab(page);
    ASSERT_EQ(first.size(), 2);
    quint64 count = 99;
    EXPECT_EQ(grab(page, {}, first, &count), QStringList());
    EXPECT_EQ(count, 0u);
}

TEST(LinkPipeline, AnEmptyValueResolvesToThePageDirectory) {
    EXPECT_EQ(grab(anchor("")), QStringList{"http://www.site.test/first/second/"});
    EXPECT_EQ(grab(QString()), QStringList());
}

TEST(LinkPipeline, TheScanEndsSoonAfterTheSinkAsksToStop) {
    class StoppingSink final : public LinkSink {
    public:
        void Found(const QString&) override { ++found; }
        bool StopRequested() const override { return found > 0; }
        int found = 0;
    } sink;
    QString page;
    for (int i = 0; i < 10000; ++i)
        page += anchor("x") + QString::number(i);
    CollectLinks(page, kPage, {}, sink);
    EXPECT_GE(sink.found, 1);
    EXPECT_LE(sink.found, 1024);
}

TEST(UrlListAppender, ReadsTheListOnceAndAgainOnlyAfterOthersChangedIt) {
    LineList list({"http://h.test/1"});
    UrlListAppender appender(list);
    EXPECT_EQ(appender.Ekle({"http://h.test/1", "http://h.test/2", "http://h.test/2"}), 1);
    EXPECT_EQ(appender.Ekle({"http://h.test/3"}), 1);
    EXPECT_EQ(appender.Ekle({"http://h.test/3"}), 0);
    EXPECT_EQ(list.reads, 1);
    EXPECT_EQ(list.appends, 2); // nothing to append is no change

    // Someone deletes a line: after ListChanged it is new again.
    list.lines.removeAll(QStringLiteral("http://h.test/2"));
    appender.ListChanged();
    EXPECT_EQ(appender.Ekle({"http://h.test/2"}), 1);
    EXPECT_EQ(list.reads, 2);
    EXPECT_EQ(list.lines, (QStringList{"http://h.test/1", "http://h.test/3", "http://h.test/2"}));
    EXPECT_EQ(appender.AddedLinkCount(), 3u);
}

} // namespace
} // namespace hl
