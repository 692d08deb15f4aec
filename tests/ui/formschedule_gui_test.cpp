#include "settings/settingsstore.h"
#include "support/guiapplication.h"
#include "support/manualtimer.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "ui/formschedule.h"
#include "ui/savegate.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace hl {
namespace {

class ScheduleFormTest : public test::GuiTest {
protected:
    // The dialog as "Scheduler..." opens it, on the settings stored now.
    std::unique_ptr<TScheduleForm> open() {
        store = std::make_unique<SettingsStore>(folder.path() + QLatin1Char('/'));
        auto form = std::make_unique<TScheduleForm>(*store, saves, schedule, nullptr);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }
    void storeSettings(const QByteArray& lines) {
        folder.write(QStringLiteral("settings.ini"), "[Settings]\r\n" + lines);
    }
    // settings.ini as a program reading it from disk would see it now.
    std::optional<QString> stored(const char* key) {
        return ReadIniFile(folder.file(QStringLiteral("settings.ini"))).Value("Settings", QLatin1String(key));
    }
    template <typename T> static T* part(const TScheduleForm& form, const char* name) {
        T* widget = form.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QString secondButton(const TScheduleForm& form) {
        return part<QPushButton>(form, "Button2")->text();
    }

    test::TempDir folder;
    test::ScriptedPrompts prompts;
    SaveGate saves{prompts};
    std::unique_ptr<SettingsStore> store;
    bool idle = true;
    Schedule schedule{std::make_unique<test::ManualTimer>(), {[this] { return idle; }, [] { return true; }}};
};

TEST_F(ScheduleFormTest, ShowsItsControlsWithTheirDefaults) {
    const auto form = open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Scheduler"));
    EXPECT_EQ(part<QLabel>(*form, "Label1")->text(), QStringLiteral("Delay (sec):"));
    auto* delay = part<QSpinBox>(*form, "SpinEdit1");
    EXPECT_EQ(delay->minimum(), 1);
    EXPECT_EQ(delay->maximum(), 999999999);
    EXPECT_EQ(delay->value(), 60);
    const std::pair<const char*, const char*> boxes[] = {{"CheckBox1", "Start Now"},
                                                         {"CheckBox2", "Download Periodically"},
                                                         {"CheckBox3", "Delay for Each URL"}};
    for (const auto& [name, caption] : boxes) {
        EXPECT_EQ(part<QCheckBox>(*form, name)->text(), QLatin1String(caption));
        EXPECT_FALSE(part<QCheckBox>(*form, name)->isChecked()) << name;
    }
    EXPECT_EQ(part<QPushButton>(*form, "Button1")->text(), QStringLiteral("OK"));
    EXPECT_EQ(secondButton(*form), QStringLiteral("Cancel"));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()); // a fixed border
    EXPECT_GE(form->width(), 244);
    EXPECT_GE(form->height(), 147);
    // Opening writes nothing.
    EXPECT_FALSE(folder.exists(QStringLiteral("settings.ini")));
}

TEST_F(ScheduleFormTest, RestoresTheStoredOptionsWithTheDelayBroughtIntoRange) {
    const struct {
        const char* stored; // settings.ini lines
        int delay;
        bool startNow, periodic, delayEach;
    } cases[] = {
        {"", 60, false, false, false},
        {"SchedulerDelay=abc\r\n", 60, false, false, false},
        {"SchedulerDelay=5000000000\r\n", 60, false, false, false}, // not a 32-bit integer
        {"SchedulerDelay=0\r\n", 1, false, false, false},
        {"SchedulerDelay=-7\r\n", 1, false, false, false},
        {"SchedulerDelay=1000000000\r\n", 999999999, false, false, false},
        {"SchedulerDelay=0x10\r\nSchedulerStartNow=ON\r\n", 16, true, false, false},
        {"SchedulerDelay=3600\r\nSchedulerPeriodic=ON\r\nSchedulerDelayEach=ON\r\n", 3600, false, true, true},
        {"SchedulerStartNow=on\r\nSchedulerPeriodic=OFF\r\nSchedulerDelayEach=yes\r\n", 60, false, false,
         false},
    };
    for (const auto& c : cases) {
        storeSettings(c.stored);
        const auto form = open();
        EXPECT_EQ(part<QSpinBox>(*form, "SpinEdit1")->value(), c.delay) << c.stored;
        EXPECT_EQ(part<QCheckBox>(*form, "CheckBox1")->isChecked(), c.startNow) << c.stored;
        EXPECT_EQ(part<QCheckBox>(*form, "CheckBox2")->isChecked(), c.periodic) << c.stored;
        EXPECT_EQ(part<QCheckBox>(*form, "CheckBox3")->isChecked(), c.delayEach) << c.stored;
    }
}

TEST_F(ScheduleFormTest, SavesEveryChangeAtOnce) {
    const auto form = open();
    auto* delay = part<QSpinBox>(*form, "SpinEdit1");
    delay->setFocus();
    QTest::keyClick(delay, Qt::Key_Up);
    EXPECT_EQ(stored("SchedulerDelay"), QStringLiteral("61"));
    delay->selectAll();
    QTest::keyClicks(delay, QStringLiteral("90"));
    EXPECT_EQ(stored("SchedulerDelay"), QStringLiteral("90"));
    const std::pair<const char*, const char*> boxes[] = {{"CheckBox1", "SchedulerStartNow"},
                                                         {"CheckBox2", "SchedulerPeriodic"},
                                                         {"CheckBox3", "SchedulerDelayEach"}};
    for (const auto& [name, key] : boxes) {
        part<QCheckBox>(*form, name)->click();
        EXPECT_EQ(stored(key), QStringLiteral("ON")) << name;
    }
    part<QCheckBox>(*form, "CheckBox2")->click();
    EXPECT_EQ(stored("SchedulerPeriodic"), QStringLiteral("OFF"));
}

TEST_F(ScheduleFormTest, OkAsksToArmWithTheOptionsShownAndATypedDelayBroughtIntoRange) {
    const struct {
        const char* typed;
        qint64 armed;
    } cases[] = {{"0", 1}, {"45", 45}, {"9999999999", 999999999}};
    for (const auto& c : cases) {
        const auto form = open();
        std::vector<ScheduleOptions> armed;
        QObject::connect(form.get(), &TScheduleForm::armRequested,
                         [&](const ScheduleOptions& options) { armed.push_back(options); });
        part<QCheckBox>(*form, "CheckBox2")->setChecked(true);
        auto* delay = part<QSpinBox>(*form, "SpinEdit1");
        delay->setFocus();
        delay->selectAll();
        QTest::keyClicks(delay, QLatin1String(c.typed));
        QTest::mouseClick(part<QPushButton>(*form, "Button1"), Qt::LeftButton);
        ASSERT_EQ(armed.size(), 1u) << c.typed;
        EXPECT_EQ(armed[0].delaySeconds, c.armed) << c.typed;
        EXPECT_TRUE(armed[0].periodic);
        EXPECT_FALSE(armed[0].startNow);
        EXPECT_EQ(stored("SchedulerDelay"), QString::number(c.armed)) << c.typed;
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_FALSE(form->isVisible());
    }
}

TEST_F(ScheduleFormTest, CancelAndEscapeAskToDisarmButTheCloseButtonOnlyCloses) {
    enum Way { Click, Escape, CloseButton };
    for (Way way : {Click, Escape, CloseButton}) {
        const auto form = open();
        int disarms = 0;
        QObject::connect(form.get(), &TScheduleForm::disarmRequested, [&] { ++disarms; });
        if (way == Click) QTest::mouseClick(part<QPushButton>(*form, "Button2"), Qt::LeftButton);
        if (way == Escape) QTest::keyClick(part<QSpinBox>(*form, "SpinEdit1"), Qt::Key_Escape);
        if (way == CloseButton) form->close();
        EXPECT_EQ(disarms, way == CloseButton ? 0 : 1) << way;
        EXPECT_EQ(form->result(), QDialog::Rejected) << way;
        EXPECT_FALSE(form->isVisible()) << way;
    }
}

TEST_F(ScheduleFormTest, TheSecondButtonReadsStopWhileAScheduleIsArmed) {
    schedule.Arm({60});
    const auto form = open();
    EXPECT_EQ(secondButton(*form), QStringLiteral("STOP"));
    // The scheduled run ends while the dialog is open: the schedule is disarmed.
    schedule.Arm({60, true});
    idle = true;
    schedule.RunEnded();
    EXPECT_TRUE(QTest::qWaitFor([&] { return secondButton(*form) == QStringLiteral("Cancel"); }, 1000));
    schedule.Arm({60});
    EXPECT_TRUE(QTest::qWaitFor([&] { return secondButton(*form) == QStringLiteral("STOP"); }, 1000));
}

} // namespace
} // namespace hl
