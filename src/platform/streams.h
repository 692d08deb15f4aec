#pragma once
// Byte streams that transfers write into: a growable memory buffer and a file. A stream has a
// position (where the next write lands) and a size that can be set explicitly, so a transfer can
// reserve a body's length first and cut the file back to what really arrived.
#include "platform/exception.h"

#include <QByteArray>
#include <QString>

namespace hl {

// A file that cannot be opened, written, sized or positioned. The message names the file and the
// system's reason.
HL_DECLARE_EXCEPTION(EStreamError, Exception);

class TStream {
public:
    virtual ~TStream() = default;
    virtual qint64 Position() const = 0;
    // Moves the position; beyond the end is allowed (a later write extends the stream).
    virtual void Seek(qint64 position) = 0;
    virtual qint64 Size() const = 0;
    // Extends (with zero bytes) or cuts the stream; a position past the new end moves to the end.
    virtual void SetSize(qint64 size) = 0;
    // Writes at the position and advances it. Throws EStreamError when not everything was written.
    virtual void Write(const char* data, qint64 length) = 0;
    // Makes room for the stream to grow to size without changing Size() (a file takes its disk
    // blocks now). Nothing happens where that cannot be done. Throws EStreamError when the room
    // is not there.
    virtual void ReserveSpace(qint64 size) { static_cast<void>(size); }
    void Write(const QByteArray& bytes) { Write(bytes.constData(), bytes.size()); }
};

class TMemoryStream final : public TStream {
public:
    qint64 Position() const override { return position_; }
    void Seek(qint64 position) override { position_ = position; }
    qint64 Size() const override { return data_.size(); }
    void SetSize(qint64 size) override;
    void Write(const char* data, qint64 length) override;
    using TStream::Write;
    const QByteArray& Data() const { return data_; }

private:
    QByteArray data_;
    qint64 position_ = 0;
};

class TFileStream final : public TStream {
public:
    enum class Mode {
        Create,       // create or empty the file, read-write
        OpenExisting, // open an existing file read-write, keeping its contents
    };
    // Throws EStreamError when the file cannot be opened.
    TFileStream(const QString& path, Mode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    qint64 Position() const override { return position_; }
    void Seek(qint64 position) override;
    qint64 Size() const override;
    void SetSize(qint64 size) override;
    void Write(const char* data, qint64 length) override;
    using TStream::Write;
    // Setting the size afterwards, even to the current size, frees the blocks past the end.
    void ReserveSpace(qint64 size) override;
    const QString& Path() const { return path_; }

private:
    [[noreturn]] void fail(const char* action) const;

    QString path_;
    int fd_ = -1;
    qint64 position_ = 0;
};

} // namespace hl
