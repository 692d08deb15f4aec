// harvestline-cli --grab as a process against the scripted loopback server.
#include "support/cliprocess.h"
#include "support/httpscript.h"
#include "support/scriptedserver.h"
#include "support/scriptedsite.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

QByteArray lines(const QStringList& texts) {
    return texts.isEmpty() ? QByteArray() : (texts.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

class CliGrab : public ::testing::Test {
protected:
    CliGrab() {
        site.put("/dir/page.html", R"(<a href="a.zip"><a href="/b.ZIP"><a href="a.zip"><img src="c.png">
<a href="https://other.test/d.zip">)");
        site.reply("/moved", test::httpReply("HTTP/1.1 301 Moved", "Location: /dir/page.html\r\n", {}));
        site.put("/sitemap.xml", R"(<?xml version="1.0"?><urlset><url><loc>http://127.0.0.1/one</loc></url>
<url><loc>http://127.0.0.1/two</loc></url></urlset>)");
    }
    test::ScriptedSite site;
};

TEST_F(CliGrab, PrintsEachNewLinkOfAPageResolvedAgainstWhereItWasFound) {
    const test::CliResult result = test::runCli({QStringLiteral("--grab"), site.url("/moved").mid(7)});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    // The image comes before the page's last double-quoted href, where the source search starts.
    EXPECT_EQ(result.out, lines({site.url("/dir/a.zip"), site.url("/b.ZIP"), "https://other.test/d.zip"}));
    EXPECT_EQ(result.err, QByteArray());
}

TEST_F(CliGrab, PrintsTheLocationsOfASitemapOnce) {
    const test::CliResult result = test::runCli({QStringLiteral("--grab"), site.url("/sitemap.xml")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, lines({"http://127.0.0.1/one", "http://127.0.0.1/two"}));
}

TEST_F(CliGrab, FilterScopeAndTheInputListNarrowWhatIsPrinted) {
    test::TempDir dir;
    dir.write(QStringLiteral("known.txt"), (site.url("/dir/a.zip") + "\r\n").toUtf8());
    const test::CliResult result =
        test::runCli({QStringLiteral("--grab"), site.url("/dir/page.html"), QStringLiteral("--contains"),
                      QStringLiteral("ZIP"), QStringLiteral("--scope"), QStringLiteral("host"),
                      QStringLiteral("-i"), dir.file(QStringLiteral("known.txt"))});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, lines({site.url("/b.ZIP")}));
}

TEST_F(CliGrab, AFailedFetchExitsWithOneAndItsErrorOnOneLine) {
    const test::CliResult missing = test::runCli({QStringLiteral("--grab"), site.url("/missing")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, QByteArray());
    EXPECT_EQ(missing.err, "HTTP/1.1 404 Not Found\n");

    const QString refused = [] {
        test::ScriptedServer closed([](test::ScriptedConnection&) {});
        return closed.url("/page");
    }();
    const test::CliResult unreachable = test::runCli({QStringLiteral("--grab"), refused});
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_EQ(unreachable.err, "Socket Error # 10061 Connection refused.\n");
}

TEST_F(CliGrab, UsageErrorsExitWithTwo) {
    const QStringList cases[] = {
        {QStringLiteral("--grab"), QStringLiteral(" ")},
        {QStringLiteral("--grab"), site.url("/dir/page.html"), QStringLiteral("--scope"),
         QStringLiteral("site")},
        {QStringLiteral("--contains"), QStringLiteral("zip"), site.url("/dir/page.html")},
        {QStringLiteral("--grab"), site.url("/dir/page.html"), site.url("/sitemap.xml")},
        {QStringLiteral("--grab"), site.url("/dir/page.html"), QStringLiteral("-i"),
         QStringLiteral("/no/such/list")},
    };
    for (const QStringList& arguments : cases) {
        const test::CliResult result = test::runCli(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, QByteArray());
        EXPECT_TRUE(result.err.startsWith("harvestline-cli: ")) << result.err.constData();
    }
    EXPECT_EQ(site.requests().size(), 0);
}

} // namespace
} // namespace hl
