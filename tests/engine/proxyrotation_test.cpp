#include "engine/proxyrotation.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace hl {
namespace {

ProxyLineFields takeFrom(ProxyRotation& rotation, const QStringList& lines) {
    return rotation.takeNext(static_cast<int>(lines.size()), [&](int index) { return lines.at(index); });
}

QStringList taken(ProxyRotation& rotation, const QStringList& lines, int count) {
    QStringList result;
    for (int i = 0; i < count; ++i)
        result << takeFrom(rotation, lines).ProxySatir;
    return result;
}

TEST(ProxyRotation, UrlsTakeTheLinesInTurnAndEveryRunStartsAtTheFirst) {
    const QStringList lines{QStringLiteral("A:8080"), QStringLiteral("B:3128:u:p")};
    ProxyRotation rotation;
    rotation.prepare(static_cast<int>(lines.size()), ProxyType::Http);
    EXPECT_TRUE(rotation.UseProxy);
    EXPECT_EQ(rotation.ProxyLast, 1);
    EXPECT_EQ(taken(rotation, lines, 4), QStringList({lines[0], lines[1], lines[0], lines[1]}));
    takeFrom(rotation, lines);
    const ProxyLineFields b = takeFrom(rotation, lines);
    EXPECT_EQ(b.ProxyHost, QStringLiteral("B"));
    EXPECT_EQ(b.ProxyPass, QStringLiteral("p"));

    // The next run starts again at the first line, with its own type.
    takeFrom(rotation, lines);
    rotation.prepare(static_cast<int>(lines.size()), ProxyType::Socks4A);
    EXPECT_EQ(rotation.ProxyScheme, ProxyType::Socks4A);
    EXPECT_EQ(takeFrom(rotation, lines).ProxySatir, lines[0]);
}

TEST(ProxyRotation, ListWithoutLinesUsesNoProxy) {
    ProxyRotation rotation;
    rotation.prepare(0, ProxyType::Socks5);
    EXPECT_FALSE(rotation.UseProxy);
    const ProxyLineFields fields = takeFrom(rotation, {QStringLiteral("added:1")});
    EXPECT_TRUE(fields.ProxySatir.isEmpty());
    EXPECT_EQ(fields.ProxyPort, QStringLiteral("0"));
}

// The user may edit the list during a run: a download reads the line as it is when it takes it,
// and an index past a shortened list wraps to the first line instead of failing the download.
TEST(ProxyRotation, LinesEditedDuringARunAreReadAsTheyAreNow) {
    const QStringList lines{QStringLiteral("A:1"), QStringLiteral("B:2"), QStringLiteral("C:3")};
    ProxyRotation rotation;
    rotation.prepare(static_cast<int>(lines.size()), ProxyType::Http);
    EXPECT_EQ(taken(rotation, lines, 2), QStringList({QStringLiteral("A:1"), QStringLiteral("B:2")}));

    const QStringList shortened{QStringLiteral("A:1"), QStringLiteral("X:9")};
    EXPECT_EQ(taken(rotation, shortened, 3),
              QStringList({QStringLiteral("A:1"), QStringLiteral("X:9"), QStringLiteral("A:1")}));
    // Lines added during the run wait for the next run: the turn still wraps after the third line.
    const QStringList grown{QStringLiteral("A:1"), QStringLiteral("B:2"), QStringLiteral("C:3"),
                            QStringLiteral("D:4")};
    EXPECT_EQ(taken(rotation, grown, 3),
              QStringList({QStringLiteral("B:2"), QStringLiteral("C:3"), QStringLiteral("A:1")}));
    EXPECT_TRUE(takeFrom(rotation, {}).ProxySatir.isEmpty());
}

} // namespace
} // namespace hl
