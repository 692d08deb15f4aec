#include "engine/resultlines.h"

#include <gtest/gtest.h>
#include <iterator>

namespace hl {
namespace {

TEST(ResultLines, WriteTheCatalogueTexts) {
    const QString url = QStringLiteral("http://h/a.zip");
    EXPECT_EQ(DownloadedLine(url), QStringLiteral("(DOWNLOADED) URL: http://h/a.zip"));
    EXPECT_EQ(DownloadedLine(url, QStringLiteral("http://m/a.zip")),
              QStringLiteral("(DOWNLOADED) URL: http://h/a.zip REDIRECTED: http://m/a.zip"));
    EXPECT_EQ(SkippedLine(url), QStringLiteral("(SKIPPED) URL: http://h/a.zip"));
    EXPECT_EQ(ErrorLine(QStringLiteral("HTTP/1.1 404 Not Found"), url, QStringLiteral("p:1:u:pw")),
              QStringLiteral("(ERROR) HTTP/1.1 404 Not Found URL: http://h/a.zip Proxy: p:1:u:pw"));
    EXPECT_EQ(EmptyFileLine(3, url),
              QStringLiteral("(ERROR) Empty file! (Tried 3 times) URL: http://h/a.zip"));
    EXPECT_EQ(StoppedLine(url), QStringLiteral("(ERROR) Download stopped URL: http://h/a.zip"));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("m"), url, QStringLiteral("p:1")),
              QStringLiteral("Download Error: m\r\rURL: http://h/a.zip\r\rProxy: p:1"));
    EXPECT_EQ(EmptyFileBoxText(3, url),
              QStringLiteral("Download Error: Empty file! (Tried 3 times)\r\rURL: http://h/a.zip"));
}

TEST(LogViewLine, TurnsLineBreaksIntoOneSpace) {
    EXPECT_EQ(
        LogViewLine(QStringLiteral("(ERROR) Socket Error # 10061\r\nConnection refused. URL: http://h/a")),
        QStringLiteral("(ERROR) Socket Error # 10061 Connection refused. URL: http://h/a"));
    EXPECT_EQ(LogViewLine(QStringLiteral("a\rb\nc\r\n\nd")), QStringLiteral("a b c d"));
    EXPECT_EQ(LogViewLine(QStringLiteral("(ERROR) No such file.\r\n URL: ftp://h/a")),
              QStringLiteral("(ERROR) No such file. URL: ftp://h/a"));
    EXPECT_EQ(LogViewLine(QStringLiteral("(SKIPPED) URL: http://h/a")),
              QStringLiteral("(SKIPPED) URL: http://h/a"));
    // Other control characters cannot act on a terminal; a tab stays.
    const char16_t redirected[] = u"REDIRECTED: /a\0b\u001b[2J\u007f\tc";
    EXPECT_EQ(LogViewLine(QStringView(redirected, qsizetype(std::size(redirected)) - 1).toString()),
              QStringLiteral("REDIRECTED: /a\uFFFDb\uFFFD[2J\uFFFD\tc"));
}

TEST(ExtractLogURL, TakesPrefixesInTableOrder) {
    const std::pair<const char*, const char*> cases[] = {
        {"(DOWNLOADED) URL: http://h/a.zip", "http://h/a.zip"},
        {"(ERROR) m URL: ftp://h/a.zip Proxy: p:1", "ftp://h/a.zip"},
        {"(DOWNLOADED) URL: https://h/a REDIRECTED: http://m/b", "http://m/b"},
        {"(ERROR) see http://doc/x first URL: http://h/a", "http://doc/x"},
        {"(SKIPPED) URL: HTTPS://H/A", "HTTPS://H/A"},
        {"no url here", ""},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(ExtractLogURL(QString::fromUtf8(line)), QString::fromUtf8(expected)) << line;
}

TEST(CopyURLsText, EndsEveryURLWithCrLf) {
    EXPECT_EQ(CopyURLsText({QStringLiteral("(SKIPPED) URL: http://a"), QStringLiteral("nothing"),
                            QStringLiteral("(DOWNLOADED) URL: ftp://b")}),
              QStringLiteral("http://a\r\nftp://b\r\n"));
    EXPECT_EQ(CopyURLsText({QStringLiteral("nothing")}), QString());
}

} // namespace
} // namespace hl
