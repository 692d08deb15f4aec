#include "platform/writeprobe.h"

#include "platform/standardfolders.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace hl {

bool CanWriteToFolder(const QString& folder) {
    if (folder.isEmpty()) return false;
    const QByteArray probe = QFile::encodeName(WithTrailingSeparator(folder) + QStringLiteral("chk.tmp"));
    // Create-new, so that a stray probe file of somebody else is never taken for our own.
    const int fd = ::open(probe.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::unlink(probe.constData());
    ::close(fd);
    return true;
}

} // namespace hl
