#include "engine/runstart.h"

#include "platform/standardfolders.h"
#include "platform/writeprobe.h"

#include <QDir>

namespace hl {

QString EmptyListMessage() {
    return QStringLiteral("URL list is empty!");
}

QStringList RemoveBlankLines(const QStringList& lines) {
    QStringList kept;
    kept.reserve(lines.size());
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty()) kept.append(line);
    return kept;
}

std::optional<QString> PrepareSaveFolder(QString& folder) {
    folder = WithTrailingSeparator(folder);
    // A folder that cannot be made fails the write probe, which says so.
    QDir().mkpath(folder);
    if (!CanWriteToFolder(folder)) return QStringLiteral("Cannot write to folder: ") + folder;
    return std::nullopt;
}

} // namespace hl
