#include "support/windowfixture.h"
#include "ui/appform.h"
#include "ui/proxycommands.h"
#include "ui/proxylisttab.h"
#include "ui/texteditor.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace hl {
namespace {

class ProxyCommandsTest : public test::WindowTest {
protected:
    ProxyListTab* tab = form->proxyTab();

    void fill(const char* host, const char* port, const char* user, const char* password) {
        tab->hostBox()->setText(QLatin1String(host));
        tab->portBox()->selectAll();
        QTest::keyClick(tab->portBox(), Qt::Key_Backspace);
        QTest::keyClicks(tab->portBox(), QLatin1String(port));
        tab->userBox()->setText(QLatin1String(user));
        tab->passwordBox()->setText(QLatin1String(password));
    }
};

TEST_F(ProxyCommandsTest, StartsWithTheEntryDefaults) {
    EXPECT_EQ(tab->hostBox()->text(), QStringLiteral("192.168.1.1"));
    EXPECT_EQ(tab->portBox()->value(), 1080);
    EXPECT_EQ(tab->portBox()->minimum(), 1);
    EXPECT_EQ(tab->portBox()->maximum(), 65535);
}

TEST_F(ProxyCommandsTest, AddAppendsTheBuiltLineAndNotifiesTheChange) {
    const struct {
        const char* host;
        const char* port;
        const char* user;
        const char* password;
        const char* line;
    } cases[] = {{" 10.0.0.5 ", "3128", "u", "", "10.0.0.5:3128:u:"},
                 {"h", "3128", "", "x", "h:3128"},
                 {"h", "8080", "  ", "p", "h:8080:  :p"},
                 {"h", "70000", "", "", "h:65535"}};
    QStringList expected;
    QSignalSpy changes(tab->editor(), &TextEditor::changed);
    for (const auto& c : cases) {
        fill(c.host, c.port, c.user, c.password);
        QTest::mouseClick(tab->addButton(), Qt::LeftButton);
        expected << QLatin1String(c.line);
    }
    EXPECT_EQ(tab->editor()->lines(), expected);
    EXPECT_EQ(changes.count(), 4);
    EXPECT_EQ(prompts->beeps, 0);
}

TEST_F(ProxyCommandsTest, AddWithABlankHostOnlyBeeps) {
    tab->editor()->setPlainText(QStringLiteral("a:1"));
    fill("   ", "3128", "u", "p");
    QSignalSpy changes(tab->editor(), &TextEditor::changed);
    QTest::mouseClick(tab->addButton(), Qt::LeftButton);
    EXPECT_EQ(prompts->beeps, 1);
    EXPECT_EQ(tab->editor()->lines(), QStringList({"a:1"}));
    EXPECT_EQ(changes.count(), 0);
}

} // namespace
} // namespace hl
