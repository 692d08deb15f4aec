#pragma once
#include <QList>
#include <QString>

namespace hl {

// A URL inside a line of text: where it starts and how many characters it covers.
struct UrlSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};

// The http, https and ftp URLs in one line of text, in order. A URL runs from its scheme up to the
// next white space, as the logs write them.
QList<UrlSpan> findUrlSpans(const QString& line);

// The URL that covers the character at position, or an empty text.
QString urlAt(const QString& line, qsizetype position);

} // namespace hl
