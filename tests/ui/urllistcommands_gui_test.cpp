#include "support/guiapplication.h"
#include "support/scriptedprompts.h"
#include "ui/appform.h"
#include "ui/proxylisttab.h"
#include "ui/texteditor.h"
#include "ui/urllistcommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace hl {
namespace {

class UrlListCommandsTest : public test::GuiTest {
protected:
    std::shared_ptr<test::ScriptedPrompts> prompts = std::make_shared<test::ScriptedPrompts>();
    TAppForm form{{prompts}};
    TextEditor* editor = form.urlEditor();
};

TEST_F(UrlListCommandsTest, ClearAsksFirstAndKeepsTheListOnNo) {
    editor->setPlainText(QStringLiteral("http://127.0.0.1/a"));
    form.pages()->setCurrentIndex(TAppForm::ErrorLogPage);
    QSignalSpy changes(editor, &TextEditor::changed);

    form.menu().clearList->trigger();
    ASSERT_EQ(prompts->questions.size(), 1u);
    EXPECT_EQ(prompts->questions[0].title, QStringLiteral("Clear"));
    EXPECT_EQ(prompts->questions[0].text, QStringLiteral("Are you sure?"));
    EXPECT_EQ(prompts->questions[0].yesCaption + prompts->questions[0].noCaption, QStringLiteral("YesNo"));
    EXPECT_EQ(editor->lines(), QStringList({"http://127.0.0.1/a"}));
    EXPECT_EQ(form.pages()->currentIndex(), TAppForm::UrlListPage);
    EXPECT_EQ(changes.count(), 0);

    prompts->confirmAnswers = {true};
    form.menu().clearList->trigger();
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    EXPECT_EQ(changes.count(), 1);
    editor->undo();
    EXPECT_EQ(editor->lines(), QStringList({"http://127.0.0.1/a"}));
}

TEST_F(UrlListCommandsTest, ClearOnAnEmptyListAsksNothingButStillCountsAsAChange) {
    QSignalSpy changes(editor, &TextEditor::changed);
    form.menu().clearList->trigger();
    EXPECT_TRUE(prompts->questions.empty());
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(UrlListCommandsTest, EditMenuActsOnTheUrlEditorWhateverHasTheFocus) {
    editor->setPlainText(QStringLiteral("http://127.0.0.1/a\nhttp://127.0.0.1/b"));
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.proxyTab()->editor()->setFocus();
    form.menu().selectAll->trigger();
    EXPECT_TRUE(editor->hasFocus());
    form.menu().copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("http://127.0.0.1/a\nhttp://127.0.0.1/b"));
    form.menu().deleteSelection->trigger();
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    form.menu().undo->trigger();
    EXPECT_EQ(editor->lineCount(), 2);
    QApplication::clipboard()->setText(QStringLiteral("ftp://127.0.0.1/c"));
    editor->moveCursor(QTextCursor::End);
    form.menu().paste->trigger();
    EXPECT_EQ(editor->line(1), QStringLiteral("http://127.0.0.1/bftp://127.0.0.1/c"));
}

} // namespace
} // namespace hl
