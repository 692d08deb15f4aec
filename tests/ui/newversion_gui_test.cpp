#include "support/guiapplication.h"
#include "ui/newversion.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace hl {
namespace {

class NoticeTest : public test::GuiTest {
protected:
    TNewVer* open(NoticeTimings timings = {}) {
        return new TNewVer(
            QStringLiteral("Harvestline"), QStringLiteral("2.5"), QStringLiteral("https://dl/x"),
            [this](const QString& address) { opened << address; }, &main, timings);
    }

    QMainWindow main;
    QStringList opened;
};

TEST_F(NoticeTest, SmallBorderlessOnTopAtTheTopRightCornerWithTitleAndLink) {
    main.show();
    QPointer<TNewVer> notice = open();
    EXPECT_FALSE(notice->isVisible()); // it grows out of its centre a moment after creation
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice->isVisible(); }, 2000));
    EXPECT_EQ(notice->size(), QSize(320, 68));
    const QRect screen = main.screen()->geometry();
    EXPECT_EQ(notice->geometry().topRight(), QPoint(screen.right() - 5, screen.top() + 5));
    EXPECT_TRUE(notice->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(notice->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(notice->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("UPDATE AVAILABLE"));
    EXPECT_TRUE(notice->findChild<QLabel*>(QStringLiteral("Label1"))->font().bold());
    EXPECT_EQ(notice->linkLabel()->text(), QStringLiteral("Click to download Harvestline 2.5"));
    EXPECT_TRUE(notice->linkLabel()->font().underline());
    EXPECT_EQ(notice->linkLabel()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(notice->findChild<QLabel*>(QStringLiteral("Image1"))->size(), QSize(60, 60));
    // The grow animation ends with the whole window shown, and the keyboard stays with the main window.
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice->mask().isEmpty(); }, 2000));
    EXPECT_NE(QApplication::activeWindow(), notice.data());

    QTest::mouseClick(notice->closeButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, 2000));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(NoticeTest, LinkOpensTheDownloadAndClosesTheNotice) {
    QPointer<TNewVer> notice = open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice->isVisible(); }, 2000));
    QTest::mouseClick(notice->linkLabel(), Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({"https://dl/x"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, 2000));
}

TEST_F(NoticeTest, ClosesItselfWhenItsCountdownRunsOut) {
    QPointer<TNewVer> notice = open({1, 20, 10, 11});
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice && notice->countdown() < 11; }, 2000));
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, 2000));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(NoticeTest, DraggingTheBackgroundMovesTheWindow) {
    QPointer<TNewVer> notice = open({1, 1, 100000, 11});
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice->isVisible(); }, 2000));
    QWidget* title = notice->findChild<QLabel*>(QStringLiteral("Label1"));
    const QPoint start = notice->pos();
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), title->mapToGlobal(QPointF(5, 5)) + QPointF(-30, 12),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(title, &move);
    QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(notice->pos(), start + QPoint(-30, 12));
    notice->close();
}

} // namespace
} // namespace hl
