// The figures of the progress bar: the rate over the last seconds, the share done and the time left.
#include "cli/runprogress.h"

#include <gtest/gtest.h>

namespace hl::cli {
namespace {

RunSnapshot linesOf(qint64 total, qint64 ended, qint64 bytes = 0) {
    RunSnapshot snapshot;
    snapshot.total = total;
    snapshot.ended = ended;
    snapshot.bytesReceived = bytes;
    return snapshot;
}

TEST(RunProgress, AveragesTheRateOverTheLastFiveSeconds) {
    RunProgress progress(0);
    const struct {
        qint64 ms;
        qint64 bytes;
        double rate;
    } ticks[] = {
        {500, 500'000, 1'000'000}, // from the start while the window is not full yet
        {1000, 1'000'000, 1'000'000},
        {5000, 5'000'000, 1'000'000},
        {6000, 9'000'000, 1'600'000}, // 4 MB arrived in the last second: (9 - 1) MB over 5 s
        // The base is the last sample at or before the window's start: 8 MB since 1 s.
        {7000, 9'000'000, 8'000'000.0 / 6},
        {11500, 9'000'000, 0}, // stalled for longer than the window
    };
    for (const auto& tick : ticks) {
        SCOPED_TRACE(tick.ms);
        EXPECT_DOUBLE_EQ(progress.update(linesOf(10, 0, tick.bytes), tick.ms).bytesPerSecond, tick.rate);
    }
}

TEST(RunProgress, TakesTheTimeLeftFromBytesOnlyWhenEveryLineLeftHasAKnownLength) {
    const TransferProgress half{500, 1000}, large{0, 3000}, unknown{700, std::nullopt};
    const struct {
        const char* name;
        RunSnapshot snapshot;
        std::optional<qint64> eta;
    } cases[] = {
        {"nothing ended, no length", linesOf(10, 0), std::nullopt},
        // 2 lines in the first second: 8 lines left take 4 s.
        {"from lines", linesOf(10, 2), 4},
        // 3500 bytes left at 1000 bytes/s.
        {"from bytes", {3, 1, 0, 0, {half, large}}, 4},
        {"a length unknown", {3, 1, 0, 0, {half, unknown}}, 2},
        {"a line not started yet", {4, 1, 0, 0, {half, large}}, 3},
        {"all ended", linesOf(3, 3), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunProgress progress(0);
        RunSnapshot snapshot = c.snapshot;
        snapshot.bytesReceived = 1000;
        EXPECT_EQ(progress.update(snapshot, 1000).etaSeconds, c.eta);
    }
}

TEST(RunProgress, CountsTheAnnouncedShareOfTransfersUnderWay) {
    RunProgress progress(0);
    const RunSnapshot snapshot{4, 1, 0, 0, {{500, 1000}, {300, std::nullopt}, {5000, 1000}}};
    // 1 line ended, half of one, a whole one (more bytes than announced count as all), one unknown.
    EXPECT_DOUBLE_EQ(progress.update(snapshot, 1000).fraction, 2.5 / 4);
    EXPECT_DOUBLE_EQ(progress.update(linesOf(0, 0), 2000).fraction, 0);
}

} // namespace
} // namespace hl::cli
