#include "engine/statustexts.h"
#include "engine/transferslots.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(TransferSlots, SumTheAverageSpeedOfOngoingDownloads) {
    TransferSlots table;
    const qint64 a = table.Claim(1000);
    table.RecordWork(a, 10485760, 9000); // 10 MiB in 8 s
    EXPECT_EQ(SpeedText(table.TotalSpeedMbps(), QLocale::c()), QStringLiteral("10.00 Mbps"));

    const qint64 b = table.Claim(0); // no work report yet: adds nothing
    EXPECT_DOUBLE_EQ(table.TotalSpeedMbps(), 10.0);
    table.RecordWork(b, 1048576 / 8 * 3, 2000); // 1.50 Mbps
    EXPECT_EQ(SpeedText(table.TotalSpeedMbps(), QLocale::c()), QStringLiteral("11.50 Mbps"));

    table.SetRedirect(a, QStringLiteral("http://m/"));
    EXPECT_EQ(table.Redirect(a), QStringLiteral("http://m/"));
    table.Release(a);
    EXPECT_EQ(table.Redirect(a), QString());
    EXPECT_EQ(SpeedText(table.TotalSpeedMbps(), QLocale::c()), QStringLiteral("1.50 Mbps"));
    // Released or unknown table are ignored; indices are never handed out twice.
    table.RecordWork(a, 1, 1);
    table.RecordWork(99, 1, 1);
    EXPECT_EQ(table.Claim(0), 2);
    EXPECT_EQ(table.NextSlot(), 3);
}

TEST(StatusTexts, FormatCountersElapsedTimeAndSpeedUnderTheLocale) {
    RunCounters counters;
    counters.Reset(40);
    counters.CountDownloading = 4;
    counters.CountErrors = 1;
    counters.CountFinished = 12;
    EXPECT_EQ(MultiThreadStatusText(counters),
              QStringLiteral("Downloading: 4 Error: 1 Finished: 12 Total: 40"));
    counters.CountDownloading = -2;
    EXPECT_EQ(MultiThreadStatusText(counters),
              QStringLiteral("Downloading: 0 Error: 1 Finished: 12 Total: 40"));

    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ElapsedStatus(1234, QLocale::c()), QStringLiteral("Elapsed Time: 1.234 sec"));
    EXPECT_EQ(ElapsedStatus(1234, german), QStringLiteral("Elapsed Time: 1,234 sec"));
    EXPECT_EQ(ElapsedText(12345678, german), QStringLiteral("12345,678")); // no group separator
    EXPECT_EQ(SpeedText(3.567, german), QStringLiteral("3,57 Mbps"));
    EXPECT_EQ(SpeedText(0, QLocale::c()), QStringLiteral("0.00 Mbps"));

    EXPECT_EQ(StatusPrefix(3, 10), QStringLiteral("(3 / 10)"));
    EXPECT_EQ(DownloadingStatus(QStringLiteral("(1 / 2)"), QStringLiteral("http://h/a")),
              QStringLiteral("(1 / 2) Downloading http://h/a..."));
    EXPECT_EQ(RedirectedStatus(QStringLiteral("(1 / 2)"), QStringLiteral("http://m/b")),
              QStringLiteral("(1 / 2) Downloading http://m/b... (Redirected)"));
}

TEST(ProgressPerMille, UsesOnlyAKnownLength) {
    EXPECT_EQ(ProgressPerMille(500, 2000, QString()), 250);
    EXPECT_EQ(ProgressPerMille(5000000000LL, 10000000000LL, QString()), 500);
    EXPECT_EQ(ProgressPerMille(500, 2000, QStringLiteral("Chunked")), std::nullopt);
    EXPECT_EQ(ProgressPerMille(500, -1, QString()), std::nullopt);
    EXPECT_EQ(ProgressPerMille(0, 0, QString()), std::nullopt);
}

} // namespace
} // namespace hl
