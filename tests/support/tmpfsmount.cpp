#include "support/tmpfsmount.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace hl::test {

TmpfsMount::TmpfsMount(qint64 sizeBytes) {
    const QByteArray options = "size=" + QByteArray::number(sizeBytes) + ",mode=0700";
    mounted_ = ::mount("tmpfs", mountPoint_.path().toLocal8Bit().constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                       options.constData()) == 0;
    if (!mounted_)
        error_ = QStringLiteral("cannot mount a tmpfs on %1: %2")
                     .arg(mountPoint_.path(), QString::fromLocal8Bit(std::strerror(errno)));
}

TmpfsMount::~TmpfsMount() {
    // Detached, so that a file still open somewhere cannot keep the test's folder from going.
    if (mounted_) ::umount2(mountPoint_.path().toLocal8Bit().constData(), MNT_DETACH);
}

} // namespace hl::test
