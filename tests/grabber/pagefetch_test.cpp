// The grabber's fetch against the scripted loopback server: decoding, redirects, errors, the size
// limit and the temporary file.
#include "grabber/pagefetch.h"
#include "platform/filecontents.h"
#include "protocols/idexceptions.h"
#include "support/compression.h"
#include "support/httpscript.h"
#include "support/qtprinters.h"
#include "support/scriptedsite.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

// Points the temporary folder at a fresh test folder for as long as it lives.
class TemporaryFolder {
public:
    TemporaryFolder() : saved_(qgetenv("TMPDIR")) { qputenv("TMPDIR", folder.path().toUtf8()); }
    ~TemporaryFolder() {
        if (saved_.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", saved_);
    }
    test::TempDir folder;

private:
    QByteArray saved_;
};

class PageFetchTest : public ::testing::Test {
protected:
    QString fetch(const QByteArray& path, PageRequest request = {}) {
        request.userAgent = QStringLiteral("Grabber Agent");
        PageFetch page(request);
        const QString text = page.DownloadPage(site.url(path));
        lastRedirect = page.LastRedirectURL();
        return text;
    }

    test::ScriptedSite site;
    QString lastRedirect;
};

TEST_F(PageFetchTest, DecodesLikeListFilesAndEndsEveryLineWithCrLf) {
    struct Case {
        const char* name;
        QByteArray body;
        QString expected;
    };
    const Case cases[] = {
        {"utf-8", "<a>\n\xC3\xA9</a>", QStringLiteral("<a>\r\né</a>\r\n")},
        {"utf-8 with mark", "\xEF\xBB\xBFx\r\ny\r", QStringLiteral("x\r\ny\r\n")},
        {"ansi", "caf\xE9\n\x80", QStringLiteral("café\r\n€\r\n")},
        {"utf-16", QByteArray("\xFF\xFEh\0i\0", 6), QStringLiteral("hi\r\n")},
        {"empty", "", QString()},
    };
    for (const Case& c : cases) {
        site.put("/page", c.body);
        EXPECT_EQ(fetch("/page"), c.expected) << c.name;
    }
}

TEST_F(PageFetchTest, SendsTheAgentAndTakesCompressionOnlyWhenAsked) {
    site.put("/gz", test::gzipBytes("<a href=\"x\">"), "Content-Encoding: gzip\r\n");
    EXPECT_EQ(fetch("/gz"), QStringLiteral("<a href=\"x\">\r\n"));
    const QByteArray request = site.requests().constLast();
    EXPECT_EQ(test::headerValue(request, "User-Agent"), "Grabber Agent");
    EXPECT_EQ(test::headerValue(request, "Accept-Encoding"), "deflate, gzip, identity");

    PageRequest plain;
    plain.zlibCompression = false;
    site.put("/plain", "text");
    fetch("/plain", plain);
    EXPECT_TRUE(test::headerValue(site.requests().constLast(), "Accept-Encoding").isEmpty());
}

TEST_F(PageFetchTest, RemembersTheLastRedirectTargetAsAnAbsoluteUrl) {
    site.reply("/start", test::httpReply("HTTP/1.1 301 Moved", "Location: /dir/middle\r\n", {}));
    site.reply("/dir/middle", test::httpReply("HTTP/1.1 302 Found", "Location: final.html\r\n", {}));
    site.put("/dir/final.html", "done");
    EXPECT_EQ(fetch("/start"), QStringLiteral("done\r\n"));
    EXPECT_EQ(lastRedirect, site.url("/dir/final.html"));

    // An absolute target is kept exactly as the server wrote it.
    const QString absolute =
        site.url("/dir/final.html").replace(QStringLiteral("http:"), QStringLiteral("HTTP:"));
    site.reply("/absolute",
               test::httpReply("HTTP/1.1 302 Found", "Location: " + absolute.toUtf8() + "\r\n", {}));
    fetch("/absolute");
    EXPECT_EQ(lastRedirect, absolute);

    site.put("/direct", "d");
    fetch("/direct");
    EXPECT_EQ(lastRedirect, QString());
}

TEST_F(PageFetchTest, ARedirectLoopIsAnErrorNotAnEmptyPage) {
    site.reply("/loop", test::httpReply("HTTP/1.1 302 Found", "Location: /loop\r\n", {}));
    try {
        fetch("/loop");
        FAIL() << "no error";
    } catch (const ETooManyRedirects& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Too many redirects: HTTP/1.1 302 Found"));
    }
    EXPECT_EQ(site.count("GET", "/loop"), 15);
    EXPECT_EQ(ProbeFinalUrl(site.url("/loop"), {}), site.url("/loop"));
}

TEST_F(PageFetchTest, ProbeGivesTheFinalUrlOrTheStartUrlAndIgnoresErrors) {
    site.reply("/moved", test::httpReply("HTTP/1.1 301 Moved", "Location: /gone\r\n", {}));
    EXPECT_EQ(ProbeFinalUrl(site.url("/moved"), {}), site.url("/gone")); // a 404 at the end is no matter
    EXPECT_EQ(ProbeFinalUrl(site.url("/missing"), {}), site.url("/missing"));
}

TEST_F(PageFetchTest, AnErrorStatusFailsWithTheStatusLine) {
    try {
        fetch("/missing");
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_EQ(error.message(), QStringLiteral("HTTP/1.1 404 Not Found"));
    }
}

TEST_F(PageFetchTest, APageAboveTheLimitFailsWhetherAnnouncedOrSent) {
    PageRequest small;
    small.maxPageBytes = 1024;
    site.reply("/announced", "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n", true);
    site.reply("/sent", "HTTP/1.1 200 OK\r\n\r\n" + QByteArray(5000, 'x'), true);
    site.put("/fits", QByteArray(1024, 'y'));
    for (const QByteArray& path : {QByteArray("/announced"), QByteArray("/sent")})
        EXPECT_THROW(fetch(path, small), EPageTooLarge) << path.constData();
    EXPECT_EQ(fetch("/fits", small).size(), 1024 + 2);
    EXPECT_EQ(EPageTooLarge(kMaxPageBytes).message(), QStringLiteral("The page is larger than 256 MiB."));
}

TEST_F(PageFetchTest, TheTemporaryFileIsGoneAfterEveryFetch) {
    TemporaryFolder temporary;
    site.put("/page", "content");
    EXPECT_EQ(fetch("/page"), QStringLiteral("content\r\n"));
    EXPECT_THROW(fetch("/missing"), Exception);
    EXPECT_EQ(temporary.folder.entries(), QStringList());
}

TEST_F(PageFetchTest, AnUnusableTemporaryFolderIsAClearError) {
    TemporaryFolder temporary;
    qputenv("TMPDIR", temporary.folder.file(QStringLiteral("missing")).toUtf8());
    site.put("/page", "content");
    try {
        fetch("/page");
        FAIL() << "no error";
    } catch (const EFileError& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Cannot create a temporary file in ")))
            << error.what();
    }
}

} // namespace
} // namespace hl
