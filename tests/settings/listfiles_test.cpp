#include "platform/filecontents.h"
#include "settings/listfiles.h"
#include "settings/samplelist.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(UrlListFile, WritesEveryLineWithCrLfAfterAMark) {
    const std::pair<QString, QByteArray> cases[] = {
        {QString(), "\xEF\xBB\xBF"},
        {QStringLiteral("http://a/1"), "\xEF\xBB\xBFhttp://a/1\r\n"},
        {QStringLiteral("http://a/1\nhttp://a/2\n"), "\xEF\xBB\xBFhttp://a/1\r\nhttp://a/2\r\n"},
        {QStringLiteral("http://a/1\n\nhttp://a/\u00E9"),
         "\xEF\xBB\xBFhttp://a/1\r\n\r\nhttp://a/\xC3\xA9\r\n"},
        {QStringLiteral("\n"), "\xEF\xBB\xBF\r\n"},
    };
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(UrlListFileBytes(text), bytes) << text.toStdString();
}

TEST(UrlListFile, SavedListsLoadBackAndRewriteByteForByte) {
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("list.txt"));
    const QStringList lists[] = {
        {},
        SampleUrls(),
        {QStringLiteral("http://h/\u00E9t\u00E9,/data/"), QString(), QStringLiteral("ftp://h/x")},
    };
    for (const QStringList& lines : lists) {
        SaveUrlList(path, lines.join(QLatin1Char('\n')));
        const QByteArray saved = dir.read(QStringLiteral("list.txt"));
        EXPECT_EQ(LoadUrlList(path), lines);
        SaveUrlList(path, LoadUrlList(path).join(QLatin1Char('\n')));
        EXPECT_EQ(dir.read(QStringLiteral("list.txt")), saved);
    }
}

TEST(UrlListFile, LoadingRules) {
    const std::pair<QByteArray, QStringList> cases[] = {
        {"", {}},
        {"\xEF\xBB\xBF", {}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\r\n\r\n", {"a"}},         // one empty last line is dropped
        {"a\r\n\r\n\r\n", {"a", ""}}, // only one
        {"\r\n \r\n\r\n", {"", " "}},
        {"\xEF\xBB\xBFhttp://h/\xC3\xA9\r\n", {QStringLiteral("http://h/\u00E9")}},
        // Written in the ANSI code page: the accents are not UTF-8 and are read in that code page.
        {"http://h/caf\xE9\r\nhttp://h/\x80\r\n",
         {QStringLiteral("http://h/caf\u00E9"), QStringLiteral("http://h/\u20AC")}},
        {QByteArray("\xFF\xFEh\0\xE9\0\r\0\n\0x\0", 12), {QStringLiteral("h\u00E9"), QStringLiteral("x")}},
    };
    test::TempDir dir;
    for (const auto& [bytes, lines] : cases) {
        dir.write(QStringLiteral("list.txt"), bytes);
        EXPECT_EQ(LoadUrlList(dir.file(QStringLiteral("list.txt"))), lines) << bytes.toHex().constData();
    }
    EXPECT_THROW(LoadUrlList(dir.file(QStringLiteral("missing.txt"))), EFileError);
}

TEST(ProxyListFile, RoundTripsByteForByteInTheStyleItWasLoadedWith) {
    const QByteArray files[] = {
        "",
        "10.0.0.1:8080",
        "10.0.0.1:8080\r\n10.0.0.2:1080:u:p\xC3\xA4ss",
        "10.0.0.1:8080\r\n10.0.0.2:1080\r\n", // a final break is an empty last line and stays
        "\xEF\xBB\xBF"
        "10.0.0.1:8080\r\n10.0.0.2:1080",
        "10.0.0.1:8080\n10.0.0.2:1080\n",
        "10.0.0.1:8080\r10.0.0.2:1080",
        QByteArray("\xFF\xFE"
                   "1\0:\0"
                   "2\0\n\0"
                   "3\0",
                   12),
    };
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("proxylist.txt"));
    for (const QByteArray& bytes : files) {
        dir.write(QStringLiteral("proxylist.txt"), bytes);
        const ProxyListFile file = LoadProxyList(path);
        EXPECT_FALSE(file.text.contains(QLatin1Char('\r'))) << bytes.toHex().constData();
        SaveProxyList(path, file.text, file.style);
        EXPECT_EQ(dir.read(QStringLiteral("proxylist.txt")), bytes) << bytes.toHex().constData();
    }
}

TEST(ProxyListFile, NewListsAreUtf8WithoutMarkAndAnsiFilesComeBackAsUtf8) {
    EXPECT_EQ(ProxyListFileBytes(u"h:1\nh:2:\u00FC:p", TextFileStyle{}), QByteArray("h:1\r\nh:2:\xC3\xBC:p"));

    test::TempDir dir;
    dir.write(QStringLiteral("proxylist.txt"), "h:1:j\xFCrgen:p\nh:2");
    const ProxyListFile file = LoadProxyList(dir.file(QStringLiteral("proxylist.txt")));
    EXPECT_EQ(file.text, QStringLiteral("h:1:j\u00FCrgen:p\nh:2"));
    EXPECT_EQ(ProxyListFileBytes(file.text, file.style), QByteArray("h:1:j\xC3\xBCrgen:p\nh:2"));
}

} // namespace
} // namespace hl
