#include "support/guiapplication.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "ui/aboutbox.h"

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>

namespace hl {
namespace {

class ManualClock final : public Clock {
public:
    qint64 nowMs() const override { return now; }
    std::atomic<qint64> now{1000};
};

class AboutBoxTest : public test::GuiTest {
protected:
    AboutBoxEnvironment environment() {
        return {
            {QStringLiteral("LUMBRIX - Harvestline"), QStringLiteral("1.0"), QStringLiteral("Harvestline")},
            {QStringLiteral("www.lumbrix.example"), nullptr},
            &prompts,
            [this](const QString& address) { opened << address; },
            programFolder.path() + QLatin1Char('/'),
            clock};
    }

    test::ScriptedPrompts prompts;
    QStringList opened;
    test::TempDir programFolder;
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    TAboutBox box{environment(), nullptr};
};

TEST_F(AboutBoxTest, BlackBoxWithThePanelProductVersionAndMakerAddress) {
    box.show();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About Harvestline"));
    EXPECT_EQ(box.size(), QSize(446, 374));
    EXPECT_EQ(box.panel()->geometry(), QRect(48, 42, 350, 291));
    EXPECT_EQ(box.panel()->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(box.productLabel()->text(), QStringLiteral("Harvestline 1.0"));
    EXPECT_EQ(box.productLabel()->font().pixelSize(), 16);
    EXPECT_EQ(box.okButton()->text(), QStringLiteral("OK"));
    EXPECT_EQ(box.infoButton()->text(), QStringLiteral("Info"));
    EXPECT_EQ(box.addressLabel()->text(), QStringLiteral("www.lumbrix.example"));
    EXPECT_EQ(box.addressLabel()->toolTip(), QStringLiteral("https://www.lumbrix.example/"));
    EXPECT_TRUE(box.addressLabel()->font().underline());
    EXPECT_EQ(box.icon()->size(), QSize(32, 32));
    EXPECT_EQ(box.hiddenPanel()->geometry(), QRect(61, 77, 324, 220));
    EXPECT_FALSE(box.hiddenPanel()->isVisible());
    EXPECT_FALSE(box.findChild<QLabel*>(QStringLiteral("Image2"))->pixmap().isNull());
    EXPECT_TRUE(box.animationTimer()->isActive());
    EXPECT_EQ(box.animationTimer()->interval(), 50);

    QTest::mouseClick(box.addressLabel(), Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({"https://www.lumbrix.example/"}));
    QTest::mouseClick(box.okButton(), Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
}

TEST_F(AboutBoxTest, InfoMenuOpensTheMakersPagesAndTheLicense) {
    box.show();
    box.BitBtn2Click();
    ASSERT_TRUE(box.infoMenu()->isVisible());
    EXPECT_EQ(box.infoMenu()->pos(), box.infoButton()->mapToGlobal(QPoint(0, box.infoButton()->height())));
    QStringList captions;
    for (QAction* action : box.infoMenu()->actions())
        captions << action->text();
    EXPECT_EQ(captions, QStringList({"Acknowledgements...", "How to uninstall...", "License..."}));

    box.infoMenu()->actions().at(0)->trigger();
    box.infoMenu()->actions().at(1)->trigger();
    EXPECT_EQ(opened, QStringList({"https://www.lumbrix.example/blog/credits-and-acknowledgements/",
                                   "https://www.lumbrix.example/blog/how-to-uninstall-lumbrix-software/"}));

    box.infoMenu()->actions().at(2)->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("License"));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("File not found!"));
    programFolder.write(QStringLiteral("license.txt"), "terms");
    box.infoMenu()->actions().at(2)->trigger();
    EXPECT_EQ(opened.constLast(), programFolder.file(QStringLiteral("license.txt")));
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(AboutBoxTest, APressOnInfoJustAfterItsMenuClosedOnlyClosedIt) {
    box.show();
    box.BitBtn2Click();
    ASSERT_TRUE(box.infoMenu()->isVisible());
    box.infoMenu()->hide(); // the press on the button closes the open menu first ...
    clock->now += 40;
    box.BitBtn2Click(); // ... and then reaches the button
    EXPECT_FALSE(box.infoMenu()->isVisible());
    clock->now += TAboutBox::kMenuReshowGuardMs;
    box.BitBtn2Click();
    EXPECT_TRUE(box.infoMenu()->isVisible());
    box.infoMenu()->hide();
}

TEST_F(AboutBoxTest, IconDoubleClickSlidesThePanelAwayAndPictureDoubleClickBringsItBack) {
    box.show();
    QTest::mouseDClick(box.icon(), Qt::LeftButton);
    EXPECT_TRUE(box.hiddenPanel()->isVisible());
    EXPECT_TRUE(box.slideTimer()->isActive());
    EXPECT_EQ(box.slideTimer()->interval(), 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.panel()->x() > 100; }, 5000));

    // While the panel moves, double-clicks on either picture do nothing.
    const int x = box.panel()->x();
    box.ImageEggDblClick();
    box.Image1DblClick();
    EXPECT_TRUE(box.hiddenPanel()->isVisible());
    EXPECT_TRUE(box.slideTimer()->isActive());
    EXPECT_GE(box.panel()->x(), x);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !box.slideTimer()->isActive(); }, 5000));
    EXPECT_GT(box.panel()->x(), box.width());
    EXPECT_LE(box.panel()->x(), box.width() + 5);

    QTest::mouseDClick(box.hiddenPicture(), Qt::LeftButton);
    EXPECT_FALSE(box.hiddenPanel()->isVisible());
    EXPECT_EQ(box.panel()->x(), 48);
}

TEST_F(AboutBoxTest, RainStartsAgainFromNewDropsWhenTheWindowIsResized) {
    box.show();
    const FallingCharacters& rain = box.rain();
    EXPECT_EQ(rain.matrixWidth(), box.frameGeometry().width() / 8);
    EXPECT_EQ(rain.drops().size(), static_cast<std::size_t>(2 * rain.matrixWidth()));
    box.setFixedSize(600, 400);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rain.matrixWidth() == box.frameGeometry().width() / 8; }, 2000));
    EXPECT_EQ(rain.matrixWidth(), box.frameGeometry().width() / 8);
    EXPECT_EQ(rain.matrixHeight(), box.frameGeometry().height() / 12);
    EXPECT_EQ(rain.drops().size(), static_cast<std::size_t>(2 * rain.matrixWidth()));
}

TEST_F(AboutBoxTest, EscapeOnEitherButtonCloses) {
    for (QPushButton* (TAboutBox::*button)() const : {&TAboutBox::okButton, &TAboutBox::infoButton}) {
        TAboutBox other(environment(), nullptr);
        other.show();
        QTest::keyClick((other.*button)(), Qt::Key_Escape);
        EXPECT_FALSE(other.isVisible());
    }
}

// Drawing text needs the application's fonts.
using FallingCharactersTest = test::GuiTest;

// Drops fall by their speed, come back at the top after the bottom, and leave 40-cell trails.
TEST_F(FallingCharactersTest, DropsFallAtTheirSpeedsAndTrailsEndFortyCellsUp) {
    // Every random number is 1: speeds of 2, brightness 1, rows start at 1.
    FallingCharacters rain([](int) { return 1; });
    rain.start(QSize(3 * 8 + 7, 50 * 12 + 11));
    ASSERT_EQ(rain.matrixWidth(), 3);
    ASSERT_EQ(rain.matrixHeight(), 50);
    ASSERT_EQ(rain.drops().size(), 6u);
    EXPECT_EQ(rain.drops()[4].column, 1);
    EXPECT_EQ(rain.drops()[0].speed, 2);

    QImage canvas(31, 611, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    for (int i = 0; i < 4; ++i)
        rain.step(painter);
    EXPECT_EQ(rain.drops()[0].row, 3); // moved on steps 0 and 2
    // The cell 40 rows above row 1, counted round from the bottom (row 1 - 40 + 51 = 12), is black.
    EXPECT_EQ(canvas.pixelColor(4, 12 * 12 + 6), QColor(Qt::black));
    EXPECT_EQ(canvas.pixelColor(4, 20 * 12 + 6), QColor(Qt::white));
    for (int i = 0; i < 200; ++i)
        rain.step(painter);
    for (const FallingCharacters::Drop& drop : rain.drops())
        EXPECT_LE(drop.row, rain.matrixHeight() + 1);

    EXPECT_EQ(FallingCharacters::headColour(99), QColor(252 * 150 / 255, 252, 252 * 100 / 255));
    EXPECT_EQ(FallingCharacters::trailColour(99), QColor(84 * 150 / 255, 84, 84 * 100 / 255));
    FallingCharacters wide;
    wide.start(QSize(8 * 4000, 120));
    EXPECT_EQ(wide.drops().size(), 5000u);
}

} // namespace
} // namespace hl
