#include "support/guiapplication.h"
#include "ui/documentlines.h"
#include "ui/texteditor.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>
#include <functional>

namespace hl {
namespace {

class DocumentLinesTest : public test::GuiTest {
protected:
    QString followed() const { return lines.snapshot().joined(QLatin1Char('\n')); }
    void moveTo(int line, QTextCursor::MoveOperation where = QTextCursor::EndOfBlock) {
        QTextCursor cursor(editor.document()->findBlockByNumber(line));
        cursor.movePosition(where);
        editor.setTextCursor(cursor);
    }

    TextEditor editor;
    DocumentLines lines{editor.document(), nullptr};
};

TEST_F(DocumentLinesTest, FollowsEveryKindOfChangeLineForLine) {
    QStringList many;
    for (int i = 0; i < 5000; ++i)
        many << QStringLiteral("http://127.0.0.1/%1").arg(i);
    editor.show();
    editor.setFocus();
    const struct {
        const char* change;
        std::function<void()> apply;
    } changes[] = {
        {"set lines", [&] { editor.setLines(many); }},
        {"type in a line",
         [&] {
             moveTo(2500);
             QTest::keyClicks(&editor, "abc");
         }},
        {"break a line",
         [&] {
             moveTo(1200, QTextCursor::StartOfBlock);
             QTest::keyClick(&editor, Qt::Key_Return);
         }},
        {"join two lines",
         [&] {
             moveTo(1200, QTextCursor::StartOfBlock);
             QTest::keyClick(&editor, Qt::Key_Backspace);
         }},
        {"paste several lines",
         [&] {
             QApplication::clipboard()->setText(QStringLiteral("p1\np2\r\np3"));
             moveTo(10);
             editor.paste();
         }},
        {"delete a selection over chunks",
         [&] {
             QTextCursor cursor(editor.document()->findBlockByNumber(900));
             cursor.setPosition(editor.document()->findBlockByNumber(3100).position() + 5,
                                QTextCursor::KeepAnchor);
             cursor.removeSelectedText();
         }},
        {"undo", [&] { editor.undo(); }},
        {"redo", [&] { editor.redo(); }},
        {"append a line", [&] { editor.appendLine(QStringLiteral("appended")); }},
        {"blank lines removed",
         [&] {
             editor.setPlainText(QStringLiteral("a\n\n  \nb\n\n"));
             editor.deleteBlankLines();
         }},
        {"a line separator inside a line", [&] { editor.insertPlainText(QStringLiteral("x\u2028y")); }},
        {"select all and delete",
         [&] {
             editor.selectAll();
             QTest::keyClick(&editor, Qt::Key_Delete);
         }},
        {"set plain text", [&] { editor.setPlainText(QStringLiteral("one\ntwo\n")); }},
        {"clear", [&] { editor.clear(); }},
    };
    for (const auto& change : changes) {
        change.apply();
        ASSERT_EQ(followed(), editor.text()) << change.change;
        ASSERT_EQ(lines.snapshot().size(), editor.document()->blockCount()) << change.change;
    }
}

TEST_F(DocumentLinesTest, ASnapshotStaysAsItWasWhileTypingGoesOn) {
    editor.setLines({QStringLiteral("http://127.0.0.1/a"), QStringLiteral("http://127.0.0.1/b")});
    const SharedLineList before = lines.snapshot();
    moveTo(0);
    editor.setFocus();
    QTest::keyClicks(&editor, "xyz");
    EXPECT_EQ(before.joined(QLatin1Char('\n')), QStringLiteral("http://127.0.0.1/a\nhttp://127.0.0.1/b"));
    EXPECT_EQ(followed(), QStringLiteral("http://127.0.0.1/axyz\nhttp://127.0.0.1/b"));
}

} // namespace
} // namespace hl
