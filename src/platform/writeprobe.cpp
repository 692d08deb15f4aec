#include "platform/writeprobe.h"

#include "platform/standardfolders.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hl {

namespace {

// The probe file as the design makes it, created anew and removed at once. A process killed in
// between leaves it behind.
bool canCreateNamedProbe(const QByteArray& probe) {
    const int fd = ::open(probe.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::unlink(probe.constData());
    ::close(fd);
    return true;
}

} // namespace

bool CanWriteToFolder(const QString& folder) {
    if (folder.isEmpty()) return false;
    const QByteArray directory = QFile::encodeName(WithTrailingSeparator(folder));
    const QByteArray probe = directory + "chk.tmp";
    // Create-new fails on a "chk.tmp" that is there, so a stray probe file of somebody else is
    // never taken for our own.
    struct stat info {};
    if (::lstat(probe.constData(), &info) == 0) return false;
    // A file without a name is what a delete-on-close file promises: nothing of it outlives the
    // process, however it ends. File systems that cannot make one get the named probe file.
    const int fd = ::open(directory.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    const bool unsupported = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL;
    return unsupported && canCreateNamedProbe(probe);
}

} // namespace hl
