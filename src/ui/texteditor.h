#pragma once
#include <QPlainTextEdit>

class QMenu;

namespace hl {

class LineNumberGutter;
class UrlHighlighter;

// The multi-line text control of the window: the URL list, the proxy list and both logs. It has a
// line-number gutter, undo, the clipboard commands, drag-and-drop editing of its text and its own
// pop-up menu; changed() is its change notification. As a log view it is read-only and grey,
// keeps no undo history and colours the URLs in its lines.
//
// Lines follow the rules of a list of strings: a line break at the very end of the text starts no
// extra line, so "a\n" holds one line and an empty text none. All calls belong to the GUI thread.
class TextEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextEditor(QWidget* parent = nullptr);

    // Turns the editor into a read-only log view. The pop-up menu then offers only Copy and Select All.
    void makeLogView();
    bool isLogView() const { return highlighter_ != nullptr; }
    // With on, a click with Ctrl held on a URL emits urlActivated() instead of moving the caret.
    void setOpenUrlsOnCtrlClick(bool on) { openUrlsOnCtrlClick_ = on; }

    int lineCount() const;
    // The line at index, or an empty text when the index is out of range (the list may have
    // changed since the caller counted it).
    QString line(int index) const;
    QStringList lines() const;
    // The whole text with "\n" between lines, every character as typed (toPlainText() would turn
    // non-breaking spaces into spaces).
    QString text() const;
    // Replaces the whole text by lines, as one step that Undo takes back.
    void setLines(const QStringList& lines);
    // Adds text as the new last line. Costs the same however long the text already is.
    void appendLine(const QString& text);
    // Adds lines as new last lines, in order, as one edit (one undo step) without the change
    // notification: a caller that appends in many steps sends it once when done (notifyChange()),
    // so that a long series of appends does not rewrite list.txt at every step. QPlainTextEdit's
    // own textChanged() still comes.
    void appendLinesQuietly(const QStringList& lines);
    // Deletes every line that is empty after trimming white space, as one step.
    void deleteBlankLines();
    // Deletes the selection (the Delete command of the menus).
    void deleteSelection();
    // Whether the text is empty after trimming white space.
    bool isBlank() const;

    QMenu* popupMenu() const { return popupMenu_; }

    // Sends the change notification without a change, for commands that count as one even when
    // the text stays as it was (clearing an empty list still rewrites its file).
    void notifyChange() { emit changed(); }

    // For the gutter: paints the line numbers of the visible lines inside rect.
    void paintGutter(LineNumberGutter* gutter, const QRect& rect);

signals:
    // Every change of the text: typing, clipboard, undo, drops and changes made by the program.
    void changed();
    void urlActivated(const QString& url);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void updateGutterWidth();
    void updateGutter(const QRect& rect, int dy);
    QString urlUnder(const QPoint& viewportPosition) const;
    void buildPopupMenu();

    LineNumberGutter* gutter_;
    UrlHighlighter* highlighter_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    bool openUrlsOnCtrlClick_ = false;
    bool quiet_ = false; // changed() is held back
};

} // namespace hl
