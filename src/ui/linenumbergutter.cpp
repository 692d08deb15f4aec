#include "ui/linenumbergutter.h"

#include "ui/texteditor.h"

namespace hl {

LineNumberGutter::LineNumberGutter(TextEditor* editor) : QWidget(editor), editor_(editor) {}

int LineNumberGutter::preferredWidth() const {
    const int digits = int(QString::number(qMax(1, editor_->blockCount())).size());
    const int margin = fontMetrics().horizontalAdvance(QLatin1Char(' '));
    return 2 * margin + fontMetrics().horizontalAdvance(QLatin1Char('9')) * qMax(2, digits);
}

QSize LineNumberGutter::sizeHint() const {
    return {preferredWidth(), 0};
}

void LineNumberGutter::paintEvent(QPaintEvent* event) {
    editor_->paintGutter(this, event->rect());
}

} // namespace hl
