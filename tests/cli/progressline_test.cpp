// The text of the progress bar and of the summary line.
#include "cli/progressline.h"

#include <gtest/gtest.h>

namespace hl::cli {
namespace {

TEST(ProgressLine, WritesSizesRatesAndDurationsInTheUsualUnits) {
    const std::pair<qint64, const char*> sizes[] = {
        {0, "0 B"},
        {999, "999 B"},
        {1000, "1.00 kB"},
        {1234, "1.23 kB"},
        {9994, "9.99 kB"},
        {9996, "10.0 kB"},
        {123456, "123 kB"},
        {999499, "999 kB"},
        {999500, "1.00 MB"},
        {512'000'000, "512 MB"},
        {1'520'000'000, "1.52 GB"},
        {4'000'000'000'000'000'000, "4.00 EB"},
    };
    for (const auto& [bytes, text] : sizes)
        EXPECT_EQ(ByteCountText(bytes), QLatin1String(text)) << bytes;
    EXPECT_EQ(ByteRateText(12'345'678), QStringLiteral("12.3 MB/s"));
    EXPECT_EQ(ByteRateText(-5), QStringLiteral("0 B/s"));
    const std::pair<qint64, const char*> durations[] = {
        {0, "0:00"},       {42, "0:42"},      {3599, "59:59"},
        {3600, "1:00:00"}, {3723, "1:02:03"}, {360000, "100:00:00"},
    };
    for (const auto& [seconds, text] : durations)
        EXPECT_EQ(DurationText(seconds), QLatin1String(text)) << seconds;
}

ProgressFigures example() {
    ProgressFigures figures;
    figures.done = 1234;
    figures.total = 3000;
    figures.fraction = 0.41;
    figures.errors = 3;
    figures.bytesPerSecond = 12'300'000;
    figures.bytes = 512'000'000;
    figures.etaSeconds = 42;
    return figures;
}

TEST(ProgressLine, FillsTheWidthWithTheBarAndDropsFieldsWhenNarrow) {
    const struct {
        int width;
        const char* line;
    } cases[] = {
        {79, "[ 1234/3000  41% |#########.............|  3 err  12.3 MB/s  512 MB  ETA 0:42 ]"},
        {200,
         "[ 1234/3000  41% |################........................|  3 err  12.3 MB/s  512 MB  ETA 0:42 ]"},
        {60, "[ 1234/3000  41%  3 err  12.3 MB/s  512 MB  ETA 0:42 ]"},
        {50, "[ 1234/3000  41%  3 err  12.3 MB/s  ETA 0:42 ]"},
        {39, "1234/3000  41% 3 err 12.3 MB/s ETA 0:42"},
        {25, "1234/3000  41% 3 err"},
        {10, "1234/3000 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressLine(example(), c.width), QLatin1String(c.line)) << c.width;
}

TEST(ProgressLine, NeverExceedsTheWidth) {
    ProgressFigures quiet = example();
    quiet.errors = 0;
    quiet.etaSeconds.reset();
    ProgressFigures huge = example();
    huge.done = huge.total = 1'000'000'000;
    huge.fraction = 1;
    huge.etaSeconds = 400'000'000;
    for (const ProgressFigures& figures : {example(), quiet, huge}) {
        for (int width = 0; width <= 160; ++width) {
            const QString line = ProgressLine(figures, width);
            ASSERT_LE(line.size(), width) << line.toStdString();
            if (width >= 30) {
                EXPECT_TRUE(line.contains(QStringLiteral("/%1 ").arg(figures.total))) << width;
            }
        }
    }
    EXPECT_TRUE(ProgressLine(quiet, 79).contains(QStringLiteral("0 err  12.3 MB/s  512 MB  ETA --:-- ]")));
    EXPECT_FALSE(ProgressLine(quiet, 39).contains(QStringLiteral("err")));
    EXPECT_TRUE(
        ProgressLine(huge, 120).contains(QStringLiteral(" 100% |########################################|")));
}

TEST(ProgressLine, SummarisesTheRun) {
    EXPECT_EQ(SummaryLine({2, 1, 1}, 1'520'000'000, 123'000),
              QStringLiteral("2 downloaded, 1 skipped, 1 error, 1.52 GB in 2:03 (12.4 MB/s)"));
    EXPECT_EQ(SummaryLine({0, 0, 3}, 0, 0),
              QStringLiteral("0 downloaded, 0 skipped, 3 errors, 0 B in 0:00 (0 B/s)"));
}

} // namespace
} // namespace hl::cli
