#pragma once
// A small tmpfs mounted on a fresh temporary folder for one test, for filling a disk without
// touching any other: unmounted, with everything in it, when the object goes away. Mounting needs
// the privilege to do so (root, as in CI); error() says why when it could not be made.
#include "support/tempdir.h"

#include <QString>

namespace hl::test {

class TmpfsMount {
public:
    explicit TmpfsMount(qint64 sizeBytes);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool mounted() const { return mounted_; }
    QString error() const { return error_; }
    QString path() const { return mountPoint_.path(); }

private:
    TempDir mountPoint_;
    bool mounted_ = false;
    QString error_;
};

} // namespace hl::test
