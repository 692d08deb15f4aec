#pragma once
#include <QSyntaxHighlighter>

namespace hl {

// Colours the URLs of a log view. Qt calls it only for the blocks that changed, so appending a
// line costs the same however long the log is.
class UrlHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit UrlHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;
};

} // namespace hl
