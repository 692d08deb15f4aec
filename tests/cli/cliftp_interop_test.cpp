// harvestline-cli with ftp:// lines against Debian's pyftpdlib on loopback.
#include "support/cliprocess.h"
#include "support/ftpserver.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(CliFtp, DownloadsFtpLinesLikeAnyOther) {
    test::FtpServer server;
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    const QString url = server.put(QStringLiteral("pub/notes.txt"), "ftp body");
    const QString missing = server.url(QStringLiteral("/pub/missing.txt"));
    test::TempDir dir;
    const test::CliResult result = test::runCli({QStringLiteral("-d"), dir.path(), url, missing});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, ("(DOWNLOADED) URL: " + url + "\n").toUtf8());
    EXPECT_EQ(result.err, ("(ERROR) No such file or directory. URL: " + missing + "\n").toUtf8());
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("notes.txt")});
    EXPECT_EQ(dir.read(QStringLiteral("notes.txt")), "ftp body");
}

} // namespace
} // namespace hl
