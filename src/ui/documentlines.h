#pragma once
#include "settings/sharedlinelist.h"

#include <QObject>

class QTextDocument;

namespace hl {

// The lines of a text document, kept in step with every change by copying only the lines that the
// change touched, so that a snapshot of a million-line list costs next to nothing on the GUI thread
// and can be written out on another. The lines are the document's blocks: joined with "\n" they
// give TextEditor::text(). GUI thread only; the document outlives this object.
class DocumentLines : public QObject {
    Q_OBJECT
public:
    DocumentLines(QTextDocument* document, QObject* parent);

    // A copy that stays as it is while the document goes on changing; any thread may read it.
    SharedLineList snapshot() const { return lines_; }

private:
    void follow(int position, int charsAdded);
    void reload();

    QTextDocument* document_;
    SharedLineList lines_;
};

} // namespace hl
