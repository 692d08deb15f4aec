#include "platform/streams.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hl {

void TMemoryStream::SetSize(qint64 size) {
    const qint64 old = data_.size();
    data_.resize(size);
    if (size > old) std::memset(data_.data() + old, 0, static_cast<size_t>(size - old));
    if (position_ > size) position_ = size;
}

void TMemoryStream::Write(const char* data, qint64 length) {
    if (position_ + length > data_.size()) SetSize(position_ + length);
    std::memcpy(data_.data() + position_, data, static_cast<size_t>(length));
    position_ += length;
}

TFileStream::TFileStream(const QString& path, Mode mode) : path_(path) {
    const int flags = O_RDWR | O_CLOEXEC | (mode == Mode::Create ? O_CREAT | O_TRUNC : 0);
    do {
        fd_ = ::open(path.toLocal8Bit().constData(), flags, 0644);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) fail("Cannot open file");
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

void TFileStream::fail(const char* action) const {
    throw EStreamError(QStringLiteral("%1 \"%2\". %3")
                           .arg(QLatin1String(action), path_, QString::fromLocal8Bit(std::strerror(errno))));
}

void TFileStream::Seek(qint64 position) {
    if (::lseek(fd_, position, SEEK_SET) < 0) fail("Cannot seek in file");
    position_ = position;
}

qint64 TFileStream::Size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) fail("Cannot read the size of file");
    return info.st_size;
}

void TFileStream::SetSize(qint64 size) {
    const qint64 current = Size();
    int r = -1;
    if (size > current) {
        // Reserving the blocks places the file's extent up front and finds a full disk before the
        // transfer starts; file systems without the call fall back to a sparse extension.
        do {
            r = ::fallocate(fd_, 0, current, size - current);
        } while (r != 0 && errno == EINTR);
        if (r != 0 && errno != EOPNOTSUPP && errno != ENOSYS) fail("Cannot set the size of file");
    }
    if (r != 0) {
        do {
            r = ::ftruncate(fd_, size);
        } while (r != 0 && errno == EINTR);
        if (r != 0) fail("Cannot set the size of file");
    }
    if (position_ > size) Seek(size);
}

void TFileStream::ReserveSpace(qint64 size) {
    const qint64 current = Size();
    if (size <= current) return;
    int r = 0;
    do {
        r = ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, current, size - current);
    } while (r != 0 && errno == EINTR);
    if (r != 0 && errno != EOPNOTSUPP && errno != ENOSYS) fail("Cannot set the size of file");
}

void TFileStream::Write(const char* data, qint64 length) {
    while (length > 0) {
        const ssize_t n = ::write(fd_, data, static_cast<size_t>(length));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            fail("Cannot write to file");
        }
        data += n;
        length -= n;
        position_ += n;
    }
}

} // namespace hl
