#include "engine/runstart.h"

#include "engine/outputfiles.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace hl {

namespace {

// The write probe: "chk.tmp" created anew (a stray one fails the probe) and removed at once.
bool CanWriteToFolder(const QString& folder) {
    const QByteArray probe = QFile::encodeName(WithTrailingSeparator(folder) + QStringLiteral("chk.tmp"));
    const int fd = ::open(probe.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::unlink(probe.constData());
    ::close(fd);
    return true;
}

} // namespace

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
