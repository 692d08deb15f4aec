#include "support/guiapplication.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace hl {
namespace {

class TextEditorTest : public test::GuiTest {
protected:
    QStringList menuItems(const TextEditor& editor, bool enabledOnly) {
        QStringList items;
        for (QAction* action : editor.popupMenu()->actions())
            if (!action->isSeparator() && (!enabledOnly || action->isEnabled())) items << action->text();
        return items;
    }
};

struct LineCase {
    const char* text;
    QStringList lines;
};

TEST_F(TextEditorTest, CountsLinesAsAStringListDoes) {
    const LineCase cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\n\n", {"a", ""}},
        {"\n", {""}},
        {"a\nb", {"a", "b"}},
        {" \n\u00a0x", {" ", "\u00a0x"}},
    };
    for (const LineCase& c : cases) {
        TextEditor editor;
        editor.setPlainText(QString::fromUtf8(c.text));
        SCOPED_TRACE(c.text);
        EXPECT_EQ(editor.lines(), c.lines);
        EXPECT_EQ(editor.lineCount(), c.lines.size());
        for (int i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(editor.line(i), c.lines[i]);
        EXPECT_EQ(editor.line(int(c.lines.size())), QString());
        EXPECT_EQ(editor.line(-1), QString());
    }
}

TEST_F(TextEditorTest, AppendsLinesAfterTheLastOneWithoutAnEmptyLineBetween) {
    const LineCase cases[] = {{"", {"x"}}, {"a", {"a", "x"}}, {"a\n", {"a", "x"}}, {"a\n\n", {"a", "", "x"}}};
    for (const LineCase& c : cases) {
        TextEditor editor;
        editor.setPlainText(QString::fromUtf8(c.text));
        editor.appendLine(QStringLiteral("x"));
        EXPECT_EQ(editor.lines(), c.lines) << c.text;
    }
}

TEST_F(TextEditorTest, DeletesBlankLinesAsOneUndoableChange) {
    const LineCase cases[] = {
        {"a\n \nb", {"a", "b"}}, {"\n\t\na\n\n\nb\n  ", {"a", "b"}}, {"  \n\n", {}}, {"a\nb", {"a", "b"}}};
    for (const LineCase& c : cases) {
        TextEditor editor;
        editor.setPlainText(QString::fromUtf8(c.text));
        QSignalSpy changes(&editor, &QPlainTextEdit::textChanged);
        editor.deleteBlankLines();
        EXPECT_EQ(editor.lines(), c.lines) << c.text;
        if (editor.toPlainText() != QString::fromUtf8(c.text)) {
            EXPECT_EQ(changes.count(), 1) << c.text;
            editor.undo();
            EXPECT_EQ(editor.toPlainText(), QString::fromUtf8(c.text));
        }
    }
}

TEST_F(TextEditorTest, EditorMenuOffersEveryCommandAndActsOnItsOwnText) {
    TextEditor editor;
    EXPECT_EQ(menuItems(editor, true), QStringList({"Undo", "Cut", "Copy", "Paste", "Delete", "Select All"}));
    editor.setPlainText(QStringLiteral("http://a/1\nhttp://a/2"));
    const auto trigger = [&](const char* name) { editor.popupMenu()->findChild<QAction*>(name)->trigger(); };
    trigger("SelectAll");
    trigger("Delete");
    EXPECT_TRUE(editor.toPlainText().isEmpty());
    trigger("Undo");
    EXPECT_EQ(editor.lines(), QStringList({"http://a/1", "http://a/2"}));
}

TEST_F(TextEditorTest, LogViewIsReadOnlyGreyAndOnlyCopiesAndSelects) {
    TextEditor log;
    log.makeLogView();
    EXPECT_TRUE(log.isReadOnly());
    EXPECT_FALSE(log.isUndoRedoEnabled());
    EXPECT_NE(log.palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(menuItems(log, true), QStringList({"Copy", "Select All"}));
    EXPECT_EQ(menuItems(log, false).size(), 6);
    log.appendLine(QStringLiteral("(DOWNLOADED) URL: http://127.0.0.1/a"));
    log.popupMenu()->findChild<QAction*>("Delete")->trigger();
    EXPECT_EQ(log.lineCount(), 1);
}

TEST_F(TextEditorTest, AppendingToALogViewLeavesTheCaretAndTheViewWhereTheyWere) {
    TextEditor log;
    log.makeLogView();
    log.resize(200, 100);
    log.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
    for (int round = 0; round < 2; ++round) { // and again after the log was cleared
        log.clear();
        for (int i = 0; i < 3; ++i)
            log.appendLine(
                QStringLiteral("(ERROR) Socket Error # 10061 Connection refused. URL: http://127.0.0.1:9/%1")
                    .arg(i));
        QApplication::processEvents();
        EXPECT_EQ(log.textCursor().position(), 0);
        EXPECT_FALSE(log.textCursor().hasSelection());
        EXPECT_EQ(log.horizontalScrollBar()->value(), 0);
    }
}

TEST_F(TextEditorTest, LogViewColoursExactlyTheUrls) {
    TextEditor log;
    log.makeLogView();
    const QString line = QStringLiteral("(ERROR) x URL: HTTPS://h/a?b=1 Proxy: ftp://p:21 end");
    log.appendLine(line);
    const QList<QTextLayout::FormatRange> ranges = log.document()->firstBlock().layout()->formats();
    QStringList coloured;
    for (const auto& range : ranges)
        coloured << line.mid(range.start, range.length);
    EXPECT_EQ(coloured, QStringList({"HTTPS://h/a?b=1", "ftp://p:21"}));
}

TEST_F(TextEditorTest, CtrlClickOnAUrlActivatesItAndAPlainClickDoesNot) {
    TextEditor log;
    log.makeLogView();
    log.setOpenUrlsOnCtrlClick(true);
    log.resize(600, 200);
    log.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
    log.appendLine(QStringLiteral("(ERROR) Not Found URL: http://127.0.0.1:8080/file.zip"));
    QSignalSpy activated(&log, &TextEditor::urlActivated);

    QTextCursor onUrl(log.document());
    onUrl.setPosition(int(log.document()->firstBlock().text().indexOf(QLatin1String("8080"))));
    const QPoint urlPoint = log.cursorRect(onUrl).center() + QPoint(2, 0);
    QTest::mouseClick(log.viewport(), Qt::LeftButton, Qt::NoModifier, urlPoint);
    EXPECT_EQ(activated.count(), 0);
    QTest::mouseClick(log.viewport(), Qt::LeftButton, Qt::ControlModifier, urlPoint);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0).at(0).toString(), QStringLiteral("http://127.0.0.1:8080/file.zip"));

    QTextCursor onText(log.document());
    onText.setPosition(3);
    QTest::mouseClick(log.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      log.cursorRect(onText).center() + QPoint(2, 0));
    EXPECT_EQ(activated.count(), 1);
}

} // namespace
} // namespace hl
