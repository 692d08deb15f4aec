#include "ui/urlspans.h"

#include <QRegularExpression>

namespace hl {

QList<UrlSpan> findUrlSpans(const QString& line) {
    static const QRegularExpression url(QStringLiteral("(?:https?|ftp)://\\S+"),
                                        QRegularExpression::CaseInsensitiveOption);
    QList<UrlSpan> spans;
    for (auto it = url.globalMatch(line); it.hasNext();) {
        const auto match = it.next();
        spans.append({match.capturedStart(), match.capturedLength()});
    }
    return spans;
}

QString urlAt(const QString& line, qsizetype position) {
    for (const UrlSpan& span : findUrlSpans(line)) {
        if (position >= span.start && position < span.start + span.length)
            return line.mid(span.start, span.length);
    }
    return {};
}

} // namespace hl
