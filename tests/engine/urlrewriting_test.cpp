#include "engine/csvsplit.h"
#include "engine/urlrewriting.h"
#include "support/tempdir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(FixURLScheme, RepairsBackslashSchemesOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"  HTTP:\\\\\\host/path  ", "http://host/path"},
        {"ftp:\\\\host/pub/a.txt", "ftp://host/pub/a.txt"},
        {"https:\\\\h/a\\b", "https://h/a\\b"},
        {"https:\\\\\\h/x", "https://h/x"},
        {"http://h/a\\b", "http://h/a\\b"},
        {"sftp:\\\\h/x", "sftp:\\\\h/x"},
        {"\thttp://h/x\r", "http://h/x"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(FixURLScheme(QString::fromUtf8(line)), QString::fromUtf8(expected)) << line;
}

TEST(RewriteSharingLink, AsksSharingServicesForTheFileItself) {
    const std::pair<const char*, const char*> cases[] = {
        {"https://www.dropbox.com/s/abc/f.zip?dl=0", "https://www.dropbox.com/s/abc/f.zip?dl=1"},
        {"https://www.dropbox.com/s/abc/f.zip?x=1&dl=0", "https://www.dropbox.com/s/abc/f.zip?x=1&dl=1"},
        {"https://www.DropBox.com/s/abc/f.zip", "https://www.DropBox.com/s/abc/f.zip?dl=1"},
        {"https://www.dropbox.com/s/abc/f.zip?raw=1", "https://www.dropbox.com/s/abc/f.zip?raw=1"},
        {"https://dropbox.community/x", "https://dropbox.community/x"},
        {"https://drive.google.com/file/d/AbC123/view?usp=sharing",
         "https://drive.google.com/uc?export=download&id=AbC123"},
        {"https://drive.google.com/open?id=XyZ&authuser=0",
         "https://drive.google.com/uc?export=download&id=XyZ"},
        {"https://drive.google.com/drive/folders", "https://drive.google.com/drive/folders"},
        {"http://example.test/file/d/x", "http://example.test/file/d/x"},
    };
    for (const auto& [url, expected] : cases)
        EXPECT_EQ(RewriteSharingLink(QString::fromUtf8(url)), QString::fromUtf8(expected)) << url;
    EXPECT_EQ(EncodeSpaces(QStringLiteral("http://h/a b c.zip")), QStringLiteral("http://h/a%20b%20c.zip"));
}

TEST(SplitCsvLine, SendsTheFileToTheFolderColumn) {
    test::TempDir dir;
    const QString save = dir.path() + QLatin1Char('/');

    const CsvTarget relative = SplitCsvLine(QStringLiteral("http://h/a.zip,sub/deeper"), save);
    EXPECT_EQ(relative.url, QStringLiteral("http://h/a.zip"));
    EXPECT_EQ(relative.folder, save + QStringLiteral("sub/deeper/"));
    EXPECT_TRUE(QFileInfo(relative.folder).isDir());

    test::TempDir other;
    const CsvTarget absolute = SplitCsvLine(QStringLiteral("http://h/a.zip,") + other.path(), save);
    EXPECT_EQ(absolute.folder, other.path() + QLatin1Char('/'));

    // A folder that cannot be made leaves the whole line as the URL.
    dir.write(QStringLiteral("file"), "x");
    const CsvTarget blocked = SplitCsvLine(QStringLiteral("http://h/a.zip,file/x"), save);
    EXPECT_EQ(blocked.url, QStringLiteral("http://h/a.zip,file/x"));
    EXPECT_EQ(blocked.folder, save);
}

} // namespace
} // namespace hl
