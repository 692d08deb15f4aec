#include "ui/urlhighlighter.h"

#include "ui/urlspans.h"

namespace hl {

UrlHighlighter::UrlHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

void UrlHighlighter::highlightBlock(const QString& text) {
    QTextCharFormat format;
    format.setForeground(QColor(0x1a, 0x4f, 0xb8));
    format.setFontUnderline(true);
    for (const UrlSpan& span : findUrlSpans(text))
        setFormat(int(span.start), int(span.length), format);
}

} // namespace hl
