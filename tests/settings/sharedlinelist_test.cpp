#include "settings/sharedlinelist.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>
#include <random>

namespace hl {
namespace {

QStringList numbered(const QString& prefix, int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << prefix + QString::number(i);
    return lines;
}

// Applies the same replacement to the list and to a plain list of strings, and compares.
void replaceBoth(SharedLineList& list, QStringList& expected, int first, int count,
                 const QStringList& lines) {
    list.replace(first, count, lines);
    expected = expected.mid(0, first) + lines + expected.mid(first + count);
    ASSERT_EQ(list.size(), expected.size());
    ASSERT_EQ(list.toList(), expected);
}

TEST(SharedLineList, ReplacesInsertsAndRemovesAnywhereAcrossChunks) {
    SharedLineList list;
    QStringList expected;
    const struct {
        int first;
        int count;
        int inserted;
    } steps[] = {
        {0, 0, 5000},    // into an empty list
        {0, 0, 3},       // before the first line
        {5003, 0, 2},    // after the last
        {2500, 1, 1},    // one line changed, as typing does
        {1020, 10, 0},   // across a chunk border
        {1000, 2000, 4}, // many chunks at once
        {2996, 3, 0},    // the last lines
        {0, 2996, 1},    // all but one
        {0, 1, 0},       // the list emptied
        {0, 0, 1},
    };
    int step = 0;
    for (const auto& s : steps)
        replaceBoth(list, expected, s.first, s.count,
                    numbered(QStringLiteral("step%1-").arg(step++), s.inserted));
    EXPECT_EQ(list.joined(QLatin1Char('\n')), expected.join(QLatin1Char('\n')));
}

TEST(SharedLineList, RandomEditsKeepItEqualToAPlainList) {
    std::mt19937 random(16);
    SharedLineList list;
    QStringList expected;
    replaceBoth(list, expected, 0, 0, numbered(QStringLiteral("line"), 20000));
    for (int step = 0; step < 3000; ++step) {
        const int size = int(expected.size());
        const int first = std::uniform_int_distribution<int>(0, size)(random);
        const int count =
            std::uniform_int_distribution<int>(0, std::min(size - first, step % 50 == 0 ? 3000 : 3))(random);
        const int inserted = std::uniform_int_distribution<int>(0, step % 97 == 0 ? 2500 : 3)(random);
        const QStringList lines = numbered(QStringLiteral("s%1-").arg(step), inserted);
        list.replace(first, count, lines);
        expected = expected.mid(0, first) + lines + expected.mid(first + count);
        ASSERT_EQ(list.size(), expected.size()) << "step " << step;
        if (expected.isEmpty()) continue;
        const int probe = std::uniform_int_distribution<int>(0, int(expected.size()) - 1)(random);
        ASSERT_EQ(list.at(probe), expected.at(probe)) << "step " << step;
    }
    EXPECT_EQ(list.toList(), expected);
}

TEST(SharedLineList, ACopyKeepsItsLinesWhileTheOriginalChanges) {
    SharedLineList list;
    list.replace(0, 0, numbered(QStringLiteral("a"), 3000));
    const SharedLineList snapshot = list;
    list.replace(1500, 1, {QStringLiteral("changed")});
    list.replace(0, 10, {});
    list.replace(list.size(), 0, {QStringLiteral("appended")});
    EXPECT_EQ(snapshot.toList(), numbered(QStringLiteral("a"), 3000));
    EXPECT_EQ(list.size(), 2991);
    EXPECT_EQ(list.at(1490), QStringLiteral("changed"));
    EXPECT_EQ(list.at(2990), QStringLiteral("appended"));
}

TEST(SharedLineList, JoinsAnEmptyListAndEmptyLines) {
    SharedLineList list;
    EXPECT_EQ(list.joined(QLatin1Char('\n')), QString());
    list.replace(0, 0, {QString(), QString()});
    EXPECT_EQ(list.joined(QLatin1Char('\n')), QStringLiteral("\n"));
}

} // namespace
} // namespace hl
