#include "settings/settingsstore.h"
#include "support/windowfixture.h"
#include "ui/multithreadform.h"
#include "ui/multithreadingcommand.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace hl {
namespace {

class MultiThreadingCommandTest : public test::WindowTest {
protected:
    // Clicks the Multi-Threading item; while the dialog is open, answer(dialog) runs in it.
    void clickItem(std::function<void(TFormMultiThread&)> answer) {
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TFormMultiThread*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answered = true;
            answer(*dialog);
        });
        form->menu().multiThreading->trigger();
        EXPECT_TRUE(answered);
    }
    // Clicks near the left edge, where a radio button or check box has its mark.
    static void click(TFormMultiThread& dialog, const char* name) {
        auto* button = dialog.findChild<QAbstractButton*>(QLatin1String(name));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    std::optional<QString> stored(const char* key) {
        return ReadIniFile(settings.file(QStringLiteral("settings.ini")))
            .Value("Settings", QLatin1String(key));
    }
};

TEST_F(MultiThreadingCommandTest, CancelAndEscapeChangeNothing) {
    const QByteArray before = settings.read(QStringLiteral("settings.ini"));
    clickItem([](TFormMultiThread& dialog) { click(dialog, "Button2"); });
    clickItem([](TFormMultiThread& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    clickItem([](TFormMultiThread& dialog) { dialog.close(); });
    EXPECT_FALSE(form->menu().multiThreading->isChecked());
    EXPECT_EQ(settings.read(QStringLiteral("settings.ini")), before);
}

TEST_F(MultiThreadingCommandTest, EnableChecksTheItemAndStoresTheChoice) {
    clickItem([](TFormMultiThread& dialog) {
        click(dialog, "RadioButton2");
        dialog.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(24);
        click(dialog, "CheckBox1");
        click(dialog, "Button1");
    });
    EXPECT_TRUE(form->menu().multiThreading->isChecked());
    EXPECT_EQ(stored("MultiThreaded"), QStringLiteral("ON"));
    EXPECT_EQ(stored("MultiThreads"), QStringLiteral("24"));
    EXPECT_EQ(stored("ClassicMultiThreads"), QStringLiteral("ON"));
}

TEST_F(MultiThreadingCommandTest, UncheckingStoresOffAndKeepsTheChoiceForTheNextOpening) {
    clickItem([](TFormMultiThread& dialog) {
        click(dialog, "RadioButton2");
        dialog.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(9999);
        click(dialog, "Button1");
    });
    form->menu().multiThreading->trigger(); // checked: switches off without a dialog
    EXPECT_FALSE(form->menu().multiThreading->isChecked());
    EXPECT_EQ(stored("MultiThreaded"), QStringLiteral("OFF"));
    EXPECT_EQ(stored("MultiThreads"), QStringLiteral("9999"));

    clickItem([](TFormMultiThread& dialog) {
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("RadioButton2"))->isChecked());
        EXPECT_EQ(dialog.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->value(), 9999);
        click(dialog, "RadioButton1");
        click(dialog, "Button1");
    });
    EXPECT_EQ(stored("MultiThreads"), QStringLiteral("0"));
    EXPECT_EQ(stored("ClassicMultiThreads"), QStringLiteral("OFF"));
}

} // namespace
} // namespace hl
