#include "services/updatecheck.h"
#include "settings/userstore.h"
#include "support/makerstandin.h"
#include "support/windowfixture.h"
#include "ui/appform.h"
#include "ui/newversion.h"
#include "ui/updatechecker.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace hl {
namespace {

class UpdateCheckerTest : public test::WindowTest {
protected:
    // Opens the window on the stand-in server and runs the check as the timer would: the first
    // tick starts it, a later one after its end finishes it.
    void startWith(const std::function<QByteArray()>& reply) {
        respond = reply;
        WindowEnvironment custom = environment();
        custom.makerServices.server = maker.server();
        form.reset();
        form = std::make_unique<TAppForm>(custom);
        checker()->setNoticeTimings({1, 10, 1000, 11});
    }
    UpdateChecker* checker() const { return form->updateChecker(); }
    void runCheck() {
        EXPECT_TRUE(checker()->timer()->isActive());
        EXPECT_EQ(checker()->timer()->interval(), 1000);
        checker()->TimerCheckerTimer();
        QAction* toggle = form->menu().updateNotifications;
        for (int tick = 0; tick < 200 && !toggle->isEnabled(); ++tick) {
            QTest::qWait(50);
            checker()->TimerCheckerTimer();
        }
        ASSERT_TRUE(toggle->isEnabled());
        EXPECT_FALSE(checker()->timer()->isActive());
    }
    void store(QLatin1String name, const QString& value) {
        UserStore userStore(settings.file(QStringLiteral("user.ini")));
        userStore.Open();
        userStore.WriteString(name, value);
    }

    std::function<QByteArray()> respond;
    test::MakerStandIn maker{[this](const QByteArray&) { return respond(); }};
};

TEST_F(UpdateCheckerTest, AnotherPublishedVersionOpensTheNoticeWhoseLinkOpensTheDownload) {
    startWith([] {
        return test::updateAnswer(
            {"<version>1.1</version>", "<url>https://dl.example/hl-1.1.zip</url>", "3", "4"});
    });
    QAction* toggle = form->menu().updateNotifications;
    EXPECT_FALSE(toggle->isEnabled());
    EXPECT_TRUE(toggle->isChecked());
    runCheck();
    EXPECT_TRUE(toggle->isChecked());
    ASSERT_NE(checker()->notice(), nullptr);
    EXPECT_EQ(checker()->notice()->linkLabel()->text(), QStringLiteral("Click to download Harvestline 1.1"));
    QTest::mouseClick(checker()->notice()->linkLabel(), Qt::LeftButton);
    EXPECT_EQ(openedAddresses, QStringList({"https://dl.example/hl-1.1.zip"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return checker()->notice() == nullptr; }, 2000));
}

TEST_F(UpdateCheckerTest, WithoutADownloadLinkTheNoticeOpensTheHomePage) {
    startWith([] { return test::updateAnswer({"<version>2.0</version>", "no link", "3", "4"}); });
    runCheck();
    ASSERT_NE(checker()->notice(), nullptr);
    checker()->notice()->Label2Click();
    EXPECT_EQ(openedAddresses, QStringList({maker.server().homePage()}));
}

TEST_F(UpdateCheckerTest, SwitchedOffTheToggleIsEnabledUncheckedAndWritesTheChoice) {
    store(updatekeys::ShowUpdate, QStringLiteral("0"));
    startWith([] { return test::updateAnswer({"<version>1.1</version>", "<url>u</url>", "3", "4"}); });
    runCheck();
    QAction* toggle = form->menu().updateNotifications;
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(checker()->notice(), nullptr);
    EXPECT_EQ(maker.connectionCount(), 0);

    toggle->trigger();
    EXPECT_TRUE(toggle->isChecked());
    UserStore written(settings.file(QStringLiteral("user.ini")));
    ASSERT_TRUE(written.Open());
    EXPECT_EQ(written.ReadInteger(updatekeys::ShowUpdate), 1);
    toggle->trigger();
    ASSERT_TRUE(written.Open());
    EXPECT_EQ(written.ReadInteger(updatekeys::ShowUpdate), 0);
    EXPECT_TRUE(prompts->messages.empty());
}

TEST_F(UpdateCheckerTest, AServerThatCannotBeReachedChangesNothingTheUserSees) {
    // The fixture's server has a name that no resolver knows.
    runCheck();
    EXPECT_TRUE(form->menu().updateNotifications->isChecked());
    EXPECT_EQ(checker()->notice(), nullptr);
    EXPECT_TRUE(prompts->messages.empty());
    UserStore written(settings.file(QStringLiteral("user.ini")));
    ASSERT_TRUE(written.Open());
    EXPECT_EQ(written.ReadInteger(updatekeys::HowMany), 1);
}

} // namespace
} // namespace hl
