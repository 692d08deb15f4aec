#include "ui/editorurllist.h"

#include "ui/texteditor.h"

namespace hl {

EditorUrlList::EditorUrlList(TextEditor* editor, QObject* parent) : QObject(parent), editor_(editor) {
    // Every change of the text, quiet appends of other grabbers included.
    connect(editor, &QPlainTextEdit::textChanged, this, &EditorUrlList::editorChanged);
}

QStringList EditorUrlList::Lines() const {
    return editor_ ? editor_->lines() : QStringList();
}

void EditorUrlList::AppendLines(const QStringList& links) {
    if (!editor_) return;
    appending_ = true;
    editor_->appendLinesQuietly(links);
    appending_ = false;
}

void EditorUrlList::editorChanged() {
    if (!appending_) appender_.ListChanged();
}

} // namespace hl
