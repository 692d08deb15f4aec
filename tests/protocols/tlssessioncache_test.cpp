#include "protocols/tlssessioncache.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

namespace hl {
namespace {

using Session = std::shared_ptr<int>;
using Cache = TlsSessionCache<Session>;

Session session(int id) {
    return std::make_shared<int>(id);
}

int idOf(const Session& s) {
    return s ? *s : 0;
}

TEST(TlsSessionCache, ReusableSessionsAreOfferedAgainAndTicketsOnce) {
    Cache cache(10, 4);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("a"))), 0);
    cache.put(QStringLiteral("a"), session(1), false);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("a"))), 1);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("a"))), 1);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("b"))), 0);

    // Single-use tickets come out newest first, each once, before the reusable session below them.
    cache.put(QStringLiteral("a"), session(2), true);
    cache.put(QStringLiteral("a"), session(3), true);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("a"))), 3);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("a"))), 2);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("a"))), 1);
}

TEST(TlsSessionCache, DiscardForgetsOneSession) {
    Cache cache(10, 4);
    const Session older = session(1);
    const Session newer = session(2);
    cache.put(QStringLiteral("a"), older, false);
    cache.put(QStringLiteral("a"), newer, false);
    cache.discard(QStringLiteral("a"), newer);
    cache.discard(QStringLiteral("unknown"), older);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("a"))), 1);
    cache.discard(QStringLiteral("a"), older);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("a"))), 0);
}

TEST(TlsSessionCache, KeepsAtMostItsBoundOfPeersAndSessions) {
    Cache cache(3, 2);
    for (int i = 1; i <= 5; ++i)
        cache.put(QStringLiteral("p"), session(i), false);
    EXPECT_EQ(cache.sessionCount(), 2u);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("p"))), 5);

    cache.put(QStringLiteral("q"), session(10), false);
    cache.put(QStringLiteral("r"), session(20), false);
    // Using "p" makes "q" the least recently used peer, which the fourth peer pushes out.
    cache.take(QStringLiteral("p"));
    cache.put(QStringLiteral("s"), session(30), false);
    EXPECT_EQ(cache.peerCount(), 3u);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("q"))), 0);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("p"))), 5);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("r"))), 20);
    EXPECT_EQ(idOf(cache.take(QStringLiteral("s"))), 30);
}

// Many threads filing and taking at once: every ticket is handed out at most once and the bounds
// hold throughout.
TEST(TlsSessionCache, ThreadsShareItSafely) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 2000;
    Cache cache(16, 4);
    std::atomic<int> handedOut[kThreads * kRounds + 1] = {};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                const QString peer = QStringLiteral("peer%1").arg((t + i) % 20);
                const int id = t * kRounds + i + 1;
                cache.put(peer, session(id), true);
                if (const Session taken = cache.take(peer)) handedOut[*taken] += 1;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    int total = 0;
    for (const std::atomic<int>& count : handedOut) {
        EXPECT_LE(count.load(), 1);
        total += count.load();
    }
    EXPECT_GT(total, 0);
    EXPECT_LE(cache.peerCount(), 16u);
    EXPECT_LE(cache.sessionCount(), 16u * 4u);
}

} // namespace
} // namespace hl
