#include "ui/texteditor.h"

#include "ui/filedrops.h"
#include "ui/linenumbergutter.h"
#include "ui/urlhighlighter.h"
#include "ui/urlspans.h"

#include <QFontDatabase>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>

namespace hl {

TextEditor::TextEditor(QWidget* parent) : QPlainTextEdit(parent), gutter_(new LineNumberGutter(this)) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    setFont(font);
    setLineWrapMode(NoWrap);
    setTabChangesFocus(false);
    viewport()->setMouseTracking(true);

    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!quiet_) emit changed();
    });
    connect(this, &QPlainTextEdit::blockCountChanged, this, &TextEditor::updateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &TextEditor::updateGutter);
    updateGutterWidth();
    buildPopupMenu();
}

void TextEditor::makeLogView() {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    // Keep the text selectable and copyable with the keyboard as well as the mouse.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette grey = palette();
    grey.setColor(QPalette::Base, QColor(0xf0, 0xf0, 0xf0));
    setPalette(grey);
    highlighter_ = new UrlHighlighter(document());
    const QList<QAction*> actions = popupMenu_->actions();
    for (QAction* action : actions) {
        const bool kept = action->objectName() == QLatin1String("Copy") ||
                          action->objectName() == QLatin1String("SelectAll");
        action->setEnabled(kept);
    }
}

int TextEditor::lineCount() const {
    const QTextBlock last = document()->lastBlock();
    return document()->blockCount() - (last.length() <= 1 ? 1 : 0);
}

QString TextEditor::line(int index) const {
    if (index < 0 || index >= lineCount()) return {};
    return document()->findBlockByNumber(index).text();
}

QStringList TextEditor::lines() const {
    QStringList result;
    result.reserve(document()->blockCount());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        result.append(block.text());
    if (!result.isEmpty() && result.constLast().isEmpty()) result.removeLast();
    return result;
}

QString TextEditor::text() const {
    QString result;
    result.reserve(document()->characterCount());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin()) result += QLatin1Char('\n');
        result += block.text();
    }
    return result;
}

void TextEditor::setLines(const QStringList& lines) {
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(lines.join(QLatin1Char('\n')));
    cursor.endEditBlock();
}

void TextEditor::appendLine(const QString& text) {
    const int position = textCursor().position();
    const int anchor = textCursor().anchor();
    if (document()->lastBlock().length() > 1) {
        appendPlainText(text);
    } else {
        // An empty text, or one that ends with a line break: the new line goes into the empty last line.
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    }
    // A caret where the line went in (an empty log) would be carried along and drag the view
    // sideways; a log's caret and selection stay where the reader left them.
    if (isLogView() && (textCursor().position() != position || textCursor().anchor() != anchor)) {
        QTextCursor kept(document());
        kept.setPosition(anchor);
        kept.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(kept);
    }
}

void TextEditor::appendLinesQuietly(const QStringList& lines) {
    if (lines.isEmpty()) return;
    // An empty text, or one that ends with a line break, takes the first line into its empty last line.
    const bool intoEmptyLastLine = document()->lastBlock().length() <= 1;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    quiet_ = true;
    cursor.insertText((intoEmptyLastLine ? QString() : QStringLiteral("\n")) + lines.join(QLatin1Char('\n')));
    quiet_ = false;
}

void TextEditor::deleteBlankLines() {
    QTextDocument* doc = document();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    // From the end, so that the numbers of the lines still to visit do not change. Blocks are
    // looked up again by number because a deletion can invalidate a neighbour's handle.
    for (int number = doc->blockCount() - 1; number >= 0; --number) {
        const QTextBlock block = doc->findBlockByNumber(number);
        if (!block.text().trimmed().isEmpty()) continue;
        const int start = block.position();
        const int end = start + block.length() - 1;
        if (block.next().isValid()) {
            cursor.setPosition(start);
            cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
        } else {
            // The last line goes with the line break before it.
            cursor.setPosition(number > 0 ? start - 1 : start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
        }
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
}

void TextEditor::deleteSelection() {
    if (isReadOnly()) return;
    textCursor().removeSelectedText();
}

bool TextEditor::isBlank() const {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        if (!block.text().trimmed().isEmpty()) return false;
    return true;
}

void TextEditor::buildPopupMenu() {
    popupMenu_ = new QMenu(this);
    const auto add = [this](const char* name, const QString& caption, auto slot) {
        QAction* action = popupMenu_->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    add("Undo", tr("Undo"), &TextEditor::undo);
    popupMenu_->addSeparator();
    add("Cut", tr("Cut"), &TextEditor::cut);
    add("Copy", tr("Copy"), &TextEditor::copy);
    add("Paste", tr("Paste"), &TextEditor::paste);
    add("Delete", tr("Delete"), &TextEditor::deleteSelection);
    popupMenu_->addSeparator();
    add("SelectAll", tr("Select All"), &TextEditor::selectAll);
}

void TextEditor::contextMenuEvent(QContextMenuEvent* event) {
    popupMenu_->exec(event->globalPos());
}

QString TextEditor::urlUnder(const QPoint& viewportPosition) const {
    const QTextCursor cursor = cursorForPosition(viewportPosition);
    const QString text = cursor.block().text();
    const int boundary = cursor.positionInBlock();
    // The cursor sits between two characters: the pointer is over the one on its side of the gap.
    const bool leftOfGap = viewportPosition.x() < cursorRect(cursor).x();
    const int character = leftOfGap ? boundary - 1 : boundary;
    if (character < 0 || character >= text.size()) return {};
    return urlAt(text, character);
}

void TextEditor::mousePressEvent(QMouseEvent* event) {
    if (openUrlsOnCtrlClick_ && event->button() == Qt::LeftButton &&
        event->modifiers().testFlag(Qt::ControlModifier)) {
        const QString url = urlUnder(event->position().toPoint());
        if (!url.isEmpty()) {
            emit urlActivated(url);
            event->accept();
            return;
        }
    }
    QPlainTextEdit::mousePressEvent(event);
}

void TextEditor::mouseMoveEvent(QMouseEvent* event) {
    if (openUrlsOnCtrlClick_) {
        const bool overUrl = event->modifiers().testFlag(Qt::ControlModifier) &&
                             !urlUnder(event->position().toPoint()).isEmpty();
        viewport()->setCursor(overUrl ? Qt::PointingHandCursor : Qt::IBeamCursor);
    }
    QPlainTextEdit::mouseMoveEvent(event);
}

void TextEditor::dragEnterEvent(QDragEnterEvent* event) {
    if (carriesLocalFiles(event->mimeData())) return event->ignore();
    QPlainTextEdit::dragEnterEvent(event);
}

void TextEditor::dragMoveEvent(QDragMoveEvent* event) {
    if (carriesLocalFiles(event->mimeData())) return event->ignore();
    QPlainTextEdit::dragMoveEvent(event);
}

void TextEditor::dropEvent(QDropEvent* event) {
    if (carriesLocalFiles(event->mimeData())) return event->ignore();
    QPlainTextEdit::dropEvent(event);
}

void TextEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), gutter_->preferredWidth(), area.height()));
}

void TextEditor::updateGutterWidth() {
    // Only a new digit changes the width; re-laying out the viewport on every line would make
    // appending cost more than the line itself.
    const int width = gutter_->preferredWidth();
    if (width == viewportMargins().left() && gutter_->width() == width) return;
    setViewportMargins(width, 0, 0, 0);
    const QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), gutter_->preferredWidth(), area.height()));
}

void TextEditor::updateGutter(const QRect& rect, int dy) {
    if (dy != 0)
        gutter_->scroll(0, dy);
    else
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
}

void TextEditor::paintGutter(LineNumberGutter* gutter, const QRect& rect) {
    QPainter painter(gutter);
    painter.fillRect(rect, QColor(0xe8, 0xea, 0xed));
    painter.setPen(QColor(0xc8, 0xcc, 0xd1));
    painter.drawLine(gutter->width() - 1, rect.top(), gutter->width() - 1, rect.bottom());
    painter.setFont(font());
    painter.setPen(QColor(0x7a, 0x82, 0x8c));

    const int margin = fontMetrics().horizontalAdvance(QLatin1Char(' '));
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top <= rect.bottom()) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible() && top + height >= rect.top()) {
            painter.drawText(QRectF(0, top, gutter->width() - margin, fontMetrics().height()),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(block.blockNumber() + 1));
        }
        top += height;
        block = block.next();
    }
}

} // namespace hl
