// harvestline-cli as a process: what it refuses, and how it says so.
#include "support/cliprocess.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(CommandLine, RefusesUnusableRunsWithStatus2) {
    test::TempDir dir;
    dir.write(QStringLiteral("blank.txt"), "\n   \r\n\t\n");
    dir.write(QStringLiteral("file"), "x");
    const struct {
        QStringList arguments;
        QByteArray input;
        const char* message;
    } cases[] = {
        {{QStringLiteral("--bogus")}, {}, "harvestline-cli: Unknown option 'bogus'."},
        {{QStringLiteral("-j"), QStringLiteral("two"), QStringLiteral("http://127.0.0.1/")},
         {},
         "invalid value for --jobs"},
        {{QStringLiteral("--connect-timeout"), QStringLiteral("-5"), QStringLiteral("http://127.0.0.1/")},
         {},
         "invalid value"},
        {{}, {}, "URL list is empty!"},
        {{QStringLiteral("-i"), dir.file(QStringLiteral("blank.txt"))}, {}, "URL list is empty!"},
        {{QStringLiteral("-i"), QStringLiteral("-")}, "  \n\n", "URL list is empty!"},
        {{QStringLiteral("-i"), dir.file(QStringLiteral("missing.txt"))}, {}, "cannot read the URL list"},
        {{QStringLiteral("--proxy-list"), dir.file(QStringLiteral("missing.txt")),
          QStringLiteral("http://127.0.0.1/")},
         {},
         "cannot read the proxy list"},
        {{QStringLiteral("--proxy-type"), QStringLiteral("socks"), QStringLiteral("http://127.0.0.1/")},
         {},
         "invalid value for --proxy-type: \"socks\""},
        {{QStringLiteral("-d"), dir.file(QStringLiteral("file/sub")), QStringLiteral("http://127.0.0.1/")},
         {},
         "Cannot write to folder: "},
        {{QStringLiteral("--log"), dir.file(QStringLiteral("nofolder/log.txt")),
          QStringLiteral("http://127.0.0.1/")},
         {},
         "cannot open the log file"},
        {{QStringLiteral("--wait"), QStringLiteral("-1"), QStringLiteral("http://127.0.0.1/")},
         {},
         "invalid value for --wait: \"-1\""},
        {{QStringLiteral("--wait"), QStringLiteral("1000000000"), QStringLiteral("http://127.0.0.1/")},
         {},
         "invalid value for --wait"},
        {{QStringLiteral("--every"), QStringLiteral("0"), QStringLiteral("http://127.0.0.1/")},
         {},
         "invalid value for --every: \"0\""},
        {{QStringLiteral("--wait"), QStringLiteral("1"), QStringLiteral("-j"), QStringLiteral("4"),
          QStringLiteral("http://127.0.0.1/")},
         {},
         "--wait pauses only a sequential run (-j 1)"},
        {{QStringLiteral("--ca-file"), dir.file(QStringLiteral("file")),
          QStringLiteral("https://127.0.0.1/")},
         {},
         "--ca-file needs --strict-tls"},
        {{QStringLiteral("--strict-tls"), QStringLiteral("--ca-file"),
          dir.file(QStringLiteral("missing.pem")), QStringLiteral("https://127.0.0.1/")},
         {},
         "--ca-file: cannot read \""},
    };
    for (const auto& c : cases) {
        const test::CliResult result = test::runCli(c.arguments, dir.path(), c.input);
        EXPECT_EQ(result.exitCode, 2) << c.message;
        EXPECT_TRUE(result.err.contains(c.message)) << c.message << "\n" << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << c.message;
    }
    // The refused folder is reported with its trailing separator, exactly as the window shows it.
    const test::CliResult refused = test::runCli(
        {QStringLiteral("-d"), dir.file(QStringLiteral("file/sub")), QStringLiteral("http://127.0.0.1/")});
    EXPECT_EQ(refused.err,
              "Cannot write to folder: " + dir.file(QStringLiteral("file/sub/")).toUtf8() + "\n");
}

TEST(CommandLine, HelpDocumentsEveryOptionAndTheExitStatus) {
    const test::CliResult result = test::runCli({QStringLiteral("--help")});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* word : {"--input",
                             "--dir",
                             "--jobs",
                             "--classic",
                             "--csv",
                             "--overwrite",
                             "--full-url",
                             "--include-params",
                             "--no-skip-existing",
                             "--no-resume",
                             "--no-server-name",
                             "--no-compression",
                             "--ext",
                             "--user-agent",
                             "--connect-timeout",
                             "--read-timeout",
                             "--proxy-list",
                             "--proxy-type",
                             "--log",
                             "--error-log",
                             "--settings",
                             "--no-overwrite",
                             "--skip-existing",
                             "--wait",
                             "--every",
                             "--quiet",
                             "--progress",
                             "--no-progress",
                             "--strict-tls",
                             "--no-strict-tls",
                             "--ca-file",
                             "Exit status"})
        EXPECT_TRUE(result.out.contains(word)) << word;
}

} // namespace
} // namespace hl
