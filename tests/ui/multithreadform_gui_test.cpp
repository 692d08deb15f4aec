#include "support/guiapplication.h"
#include "ui/multithreadform.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace hl {
namespace {

class MultiThreadFormTest : public test::GuiTest {
protected:
    template <typename T> static T* part(const TFormMultiThread& form, const char* name) {
        T* widget = form.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
};

TEST_F(MultiThreadFormTest, ShowsTheWorkerLimitsAndTheClassicChoice) {
    TFormMultiThread form(4, 32, {0, true}, nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Multi-Threading"));
    EXPECT_EQ(part<QLabel>(form, "Label3")->text(), QStringLiteral("4"));
    EXPECT_EQ(part<QLabel>(form, "Label4")->text(), QStringLiteral("32"));
    EXPECT_TRUE(part<QCheckBox>(form, "CheckBox1")->isChecked());
    EXPECT_EQ(part<QSpinBox>(form, "SpinEdit1")->minimum(), 1);
    EXPECT_EQ(part<QSpinBox>(form, "SpinEdit1")->maximum(), 9999);
}

TEST_F(MultiThreadFormTest, StoredCountOutsideTheRangeOpensAutomaticWithTheUpperLimit) {
    const struct {
        int stored;
        bool custom;
        int shown;
    } cases[] = {{0, false, 16}, {-3, false, 16}, {10000, false, 16}, {1, true, 1}, {9999, true, 9999}};
    for (const auto& c : cases) {
        TFormMultiThread form(2, 16, {c.stored, false}, nullptr);
        EXPECT_EQ(part<QRadioButton>(form, "RadioButton2")->isChecked(), c.custom) << c.stored;
        EXPECT_EQ(part<QRadioButton>(form, "RadioButton1")->isChecked(), !c.custom) << c.stored;
        EXPECT_EQ(part<QSpinBox>(form, "SpinEdit1")->value(), c.shown) << c.stored;
    }
}

TEST_F(MultiThreadFormTest, EnableRecordsTheTypedCountBroughtIntoRange) {
    const struct {
        const char* typed;
        bool custom;
        int recorded;
    } cases[] = {{"20000", true, 9999}, {"0", true, 1}, {"250", true, 250}, {"250", false, 0}, {"", true, 1}};
    for (const auto& c : cases) {
        TFormMultiThread form(2, 16, {}, nullptr);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        part<QRadioButton>(form, c.custom ? "RadioButton2" : "RadioButton1")->click();
        auto* box = part<QSpinBox>(form, "SpinEdit1");
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QLatin1String(c.typed));
        QTest::mouseClick(part<QPushButton>(form, "Button1"), Qt::LeftButton);
        EXPECT_EQ(form.result(), QDialog::Accepted) << c.typed;
        EXPECT_EQ(form.choice().threads, c.recorded) << c.typed;
    }
}

TEST_F(MultiThreadFormTest, CancelAndEscapeReject) {
    for (bool escape : {false, true}) {
        TFormMultiThread form(2, 16, {}, nullptr);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        if (escape)
            QTest::keyClick(&form, Qt::Key_Escape);
        else
            QTest::mouseClick(part<QPushButton>(form, "Button2"), Qt::LeftButton);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Rejected);
    }
}

} // namespace
} // namespace hl
