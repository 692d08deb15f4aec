#include "support/windowfixture.h"
#include "ui/appform.h"
#include "ui/foldercommands.h"
#include "ui/folderrow.h"
#include "ui/listmirror.h"
#include "ui/proxylisttab.h"
#include "ui/texteditor.h"
#include "ui/urllistcommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace hl {
namespace {

class UrlListCommandsTest : public test::WindowTest {
protected:
    TextEditor* editor = form->urlEditor();
};

TEST_F(UrlListCommandsTest, ClearAsksFirstAndKeepsTheListOnNo) {
    editor->setPlainText(QStringLiteral("http://127.0.0.1/a"));
    form->pages()->setCurrentIndex(TAppForm::ErrorLogPage);
    QSignalSpy changes(editor, &TextEditor::changed);

    form->menu().clearList->trigger();
    ASSERT_EQ(prompts->questions.size(), 1u);
    EXPECT_EQ(prompts->questions[0].title, QStringLiteral("Clear"));
    EXPECT_EQ(prompts->questions[0].text, QStringLiteral("Are you sure?"));
    EXPECT_EQ(prompts->questions[0].yesCaption + prompts->questions[0].noCaption, QStringLiteral("YesNo"));
    EXPECT_EQ(editor->lines(), QStringList({"http://127.0.0.1/a"}));
    EXPECT_EQ(form->pages()->currentIndex(), TAppForm::UrlListPage);
    EXPECT_EQ(changes.count(), 0);

    prompts->confirmAnswers = {true};
    form->menu().clearList->trigger();
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    EXPECT_EQ(changes.count(), 1);
    editor->undo();
    EXPECT_EQ(editor->lines(), QStringList({"http://127.0.0.1/a"}));
}

TEST_F(UrlListCommandsTest, ClearOnAnEmptyListAsksNothingButStillCountsAsAChange) {
    editor->setLines({});
    QSignalSpy changes(editor, &TextEditor::changed);
    form->menu().clearList->trigger();
    EXPECT_TRUE(prompts->questions.empty());
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(UrlListCommandsTest, EditMenuActsOnTheUrlEditorWhateverHasTheFocus) {
    editor->setPlainText(QStringLiteral("http://127.0.0.1/a\nhttp://127.0.0.1/b"));
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->proxyTab()->editor()->setFocus();
    form->menu().selectAll->trigger();
    EXPECT_TRUE(editor->hasFocus());
    form->menu().copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("http://127.0.0.1/a\nhttp://127.0.0.1/b"));
    form->menu().deleteSelection->trigger();
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    form->menu().undo->trigger();
    EXPECT_EQ(editor->lineCount(), 2);
    QApplication::clipboard()->setText(QStringLiteral("ftp://127.0.0.1/c"));
    editor->moveCursor(QTextCursor::End);
    form->menu().paste->trigger();
    EXPECT_EQ(editor->line(1), QStringLiteral("http://127.0.0.1/bftp://127.0.0.1/c"));
}

TEST_F(UrlListCommandsTest, SamplesReplaceABlankListAndFollowAListWithUrls) {
    editor->setPlainText(QStringLiteral(" \n\n"));
    form->menu().sampleUrls->trigger();
    ASSERT_EQ(editor->lineCount(), 3);
    EXPECT_EQ(editor->line(0),
              QStringLiteral("https://commons.wikimedia.org/wiki/Special:Redirect/file/Example.jpg"));

    form->folderRow()->folderBox()->setText(QStringLiteral("/data/out/"));
    form->menu().sampleCsv->trigger();
    ASSERT_EQ(editor->lineCount(), 6);
    EXPECT_EQ(editor->line(3), editor->line(0) + QStringLiteral(",/data/out/"));
    EXPECT_EQ(editor->line(5), editor->line(2) + QStringLiteral(",/data/out/"));
    EXPECT_EQ(form->pages()->currentIndex(), TAppForm::UrlListPage);
}

TEST_F(UrlListCommandsTest, LoadDecodesTheChosenEncodingAndSaveKeepsTheFileStyle) {
    desktop.write(QStringLiteral("in.txt"), "\xEF\xBB\xBFhttp://127.0.0.1/\xC3\xA9\nhttp://127.0.0.1/b\n");
    prompts->fileAnswers = {{desktop.file(QStringLiteral("in.txt")), ListFileEncoding::Utf8},
                            {desktop.file(QStringLiteral("out.txt")), ListFileEncoding::Utf8},
                            {desktop.file(QStringLiteral("ansi.txt")), ListFileEncoding::Ansi}};
    form->menu().loadList->trigger();
    EXPECT_EQ(editor->lines(), QStringList({"http://127.0.0.1/\u00e9", "http://127.0.0.1/b"}));
    form->listMirror()->writePending(); // list.txt follows in the background
    EXPECT_EQ(settings.read(QStringLiteral("list.txt")),
              "\xEF\xBB\xBFhttp://127.0.0.1/\xC3\xA9\r\nhttp://127.0.0.1/b\r\n");
    form->menu().saveList->trigger();
    EXPECT_EQ(desktop.read(QStringLiteral("out.txt")),
              "\xEF\xBB\xBFhttp://127.0.0.1/\xC3\xA9\nhttp://127.0.0.1/b");
    form->menu().saveList->trigger();
    EXPECT_EQ(desktop.read(QStringLiteral("ansi.txt")), "http://127.0.0.1/\xE9\nhttp://127.0.0.1/b");
    EXPECT_EQ(prompts->fileFilters,
              QStringList({"Text File (*.txt);;CSV File (*.csv);;Any File (*)",
                           "Text File (*.txt);;Any File (*)", "Text File (*.txt);;Any File (*)"}));
    EXPECT_TRUE(prompts->messages.empty());
}

TEST_F(UrlListCommandsTest, AFileNotValidInTheChosenEncodingIsReportedAndTheListStays) {
    desktop.write(QStringLiteral("latin.txt"), "http://127.0.0.1/caf\xE9");
    const QStringList before = editor->lines();
    prompts->fileAnswers = {{desktop.file(QStringLiteral("latin.txt")), ListFileEncoding::Utf8},
                            {desktop.file(QStringLiteral("missing.txt")), ListFileEncoding::Ansi}};
    form->menu().loadList->trigger();
    form->menu().loadList->trigger();
    EXPECT_EQ(editor->lines(), before);
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("ERROR"));
    EXPECT_TRUE(prompts->messages[0].text.contains(QStringLiteral("latin.txt")));
    EXPECT_TRUE(prompts->messages[1].text.contains(QStringLiteral("missing.txt")));
}

TEST_F(UrlListCommandsTest, DroppedFolderBecomesTheSaveFolderAndDroppedFileTheList) {
    desktop.write(QStringLiteral("drop/list.txt"), "http://127.0.0.1/caf\xE9\r\n");
    form->openDroppedPaths(
        {desktop.file(QStringLiteral("drop")), desktop.file(QStringLiteral("drop/list.txt"))});
    EXPECT_EQ(form->folderRow()->folderBox()->text(), desktop.file(QStringLiteral("drop/")));
    EXPECT_EQ(form->folderCommands()->saveFolder(), desktop.file(QStringLiteral("drop")));
    EXPECT_EQ(editor->lines(), QStringList({"http://127.0.0.1/caf\u00e9"}));
    form->listMirror()->writePending();
    EXPECT_TRUE(settings.read(QStringLiteral("list.txt")).contains("caf\xC3\xA9\r\n"));
}

} // namespace
} // namespace hl
