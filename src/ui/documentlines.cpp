#include "ui/documentlines.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace hl {

DocumentLines::DocumentLines(QTextDocument* document, QObject* parent)
    : QObject(parent), document_(document) {
    reload();
    connect(document_, &QTextDocument::contentsChange, this,
            [this](int position, int, int charsAdded) { follow(position, charsAdded); });
}

void DocumentLines::follow(int position, int charsAdded) {
    // Everything before position and after position + charsAdded is as it was, so the blocks from
    // the one holding position to the one holding the change's end take the place of the old
    // lines between the same unchanged neighbours.
    const int lastPosition = document_->characterCount() - 1;
    const QTextBlock firstBlock = document_->findBlock(std::clamp(position, 0, lastPosition));
    const QTextBlock lastBlock = document_->findBlock(std::clamp(position + charsAdded, 0, lastPosition));
    const int first = firstBlock.blockNumber();
    const int unchangedAfter = document_->blockCount() - 1 - lastBlock.blockNumber();
    const int replaced = lines_.size() - unchangedAfter - first;
    if (first < 0 || replaced < 1 || first + replaced > lines_.size()) return reload();

    QStringList changed;
    for (QTextBlock block = firstBlock; block.isValid(); block = block.next()) {
        changed << block.text();
        if (block == lastBlock) break;
    }
    lines_.replace(first, replaced, changed);
    // A change the document described other than it made would show here first.
    if (lines_.size() != document_->blockCount()) reload();
}

void DocumentLines::reload() {
    QStringList all;
    all.reserve(document_->blockCount());
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next())
        all << block.text();
    lines_ = SharedLineList();
    lines_.replace(0, 0, all);
}

} // namespace hl
