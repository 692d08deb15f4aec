#include "platform/filecontents.h"

#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace hl {
namespace {

[[noreturn]] void fail(const char* action, const QString& path, const QString& reason) {
    throw EFileError(QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(action), path, reason));
}

[[noreturn]] void fail(const char* action, const QString& path, int error) {
    fail(action, path, QString::fromLocal8Bit(std::strerror(error)));
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the result, so that a write error reported at close is not lost.
    int close() { return ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

int openRetrying(const QByteArray& path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAll(int fd, QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// The file a write to `path` really lands in: the target of a symbolic link, or `path` itself.
QByteArray resolvedTarget(const QByteArray& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.constData(), resolved) ? QByteArray(resolved) : path;
}

} // namespace

QByteArray ReadFileContents(const QString& path, qint64 limit) {
    // Without O_NONBLOCK, opening a named pipe would wait for a writer, possibly forever.
    FileDescriptor fd(openRetrying(path.toLocal8Bit(), O_RDONLY | O_NONBLOCK));
    if (fd.get() < 0) fail("Cannot open file", path, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) fail("Cannot read file", path, errno);
    if (S_ISDIR(info.st_mode)) fail("Cannot read file", path, EISDIR);
    // A pipe, socket or device may never end or never deliver; the files kept here are plain files.
    if (!S_ISREG(info.st_mode)) fail("Cannot read file", path, QStringLiteral("It is not a regular file."));

    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(qMin<qint64>(info.st_size, limit)));
    // Read to the end rather than trusting the size: the file may grow while we read.
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail("Cannot read file", path, errno);
        if (n == 0) return bytes;
        if (bytes.size() + n > limit) fail("Cannot read file", path, EFBIG);
        bytes.append(chunk, n);
    }
}

void ReplaceFileContents(const QString& path, QByteArrayView bytes) {
    const QByteArray target = resolvedTarget(path.toLocal8Bit());
    // A file the user made read-only stays protected, as it would be if it were rewritten in place.
    if (::access(target.constData(), W_OK) != 0 && errno != ENOENT) fail("Cannot save file", path, errno);
    QByteArray temporary;
    int fdNumber = -1;
    // A fresh name each time: two instances saving into one folder never share a temporary file.
    for (int attempt = 0; attempt < 100 && fdNumber < 0; ++attempt) {
        temporary = target + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fdNumber = openRetrying(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fdNumber < 0 && errno != EEXIST) break;
    }
    FileDescriptor fd(fdNumber);
    if (fd.get() < 0) fail("Cannot save file", path, errno);

    const auto abandon = [&](int error) {
        ::unlink(temporary.constData());
        fail("Cannot save file", path, error);
    };
    struct stat old {};
    if (::stat(target.constData(), &old) == 0 && ::fchmod(fd.get(), old.st_mode & 07777) != 0) abandon(errno);
    if (!writeAll(fd.get(), bytes)) abandon(errno);
    if (fd.close() != 0) abandon(errno);
    if (::rename(temporary.constData(), target.constData()) != 0) abandon(errno);
}

bool DeleteFile(const QString& path) {
    return ::unlink(path.toLocal8Bit().constData()) == 0;
}

} // namespace hl
