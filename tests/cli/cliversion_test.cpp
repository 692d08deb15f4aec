// harvestline-cli --version: the version data compiled in, the license found beside the program,
// and the OpenSSL library that https would use.
#include "buildinfo.h"
#include "support/cliprocess.h"

#include <QDir>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(CliVersion, NamesTheVersionTheLicenseAndTheOpenSSLFound) {
    const test::CliResult result = test::runCli({QStringLiteral("--version")});
    EXPECT_EQ(result.exitCode, 0);
    const QStringList lines = QString::fromUtf8(result.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << result.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("harvestline-cli (Harvestline) " HARVESTLINE_VERSION_TEXT));
    // Run from the build folder, the license text is the copy beside the executable.
    const QString license =
        QDir(QStringLiteral(HARVESTLINE_BINARY_DIR "/src")).canonicalPath() + "/license.txt";
    EXPECT_EQ(lines[1], QStringLiteral("Copyright (c) LUMBRIX. MIT License: ") + license);
    EXPECT_TRUE(lines[2].startsWith(QLatin1String("OpenSSL: OpenSSL 3."))) << lines[2].toStdString();
}

TEST(CliVersion, SaysWhenNoOpenSSLCanBeLoaded) {
    qputenv("HARVESTLINE_LIBSSL", "/nonexistent/libssl.so.3");
    const test::CliResult result = test::runCli({QStringLiteral("--version")});
    qunsetenv("HARVESTLINE_LIBSSL");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.contains("\nOpenSSL: none found, https URLs cannot be downloaded (Failed to load "
                                    "/nonexistent/libssl.so.3"))
        << result.out.toStdString();
}

} // namespace
} // namespace hl
