#include "grabber/urllistappender.h"

namespace hl {

qsizetype UrlListAppender::Ekle(const QStringList& links) {
    if (stale_) {
        const QStringList lines = list_.Lines();
        lines_ = QSet<QString>(lines.begin(), lines.end());
        stale_ = false;
    }
    QStringList fresh;
    for (const QString& link : links) {
        const qsizetype before = lines_.size();
        lines_.insert(link);
        if (lines_.size() != before) fresh.append(link);
    }
    if (!fresh.isEmpty()) list_.AppendLines(fresh);
    added_ += static_cast<quint64>(fresh.size());
    return fresh.size();
}

} // namespace hl
