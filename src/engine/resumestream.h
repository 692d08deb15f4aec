#pragma once
// The destination of a resumed transfer. The request asks for the bytes from the resume position
// on, and the client writes the reply body from there. A server may ignore the range and send the
// whole file (a status other than 206); written at the resume position that would corrupt the
// file, so then the partial file is emptied first and the body lands at byte 0. Positions seen by
// the client stay those of a resumed file, so its own bookkeeping (reset to the start position,
// cutting back to what arrived) keeps working. A reservation of the body's length reserves disk
// space only: the file always holds exactly the bytes received, since a later resume continues
// from its end.
#include "platform/streams.h"

#include <functional>

namespace hl {

class ResumeTargetStream final : public TStream {
public:
    // file must outlive the stream; it is positioned at the resume position. wholeBody is asked
    // when the first body byte (or the reservation of the body's length) arrives.
    ResumeTargetStream(TStream& file, std::function<bool()> wholeBody);

    qint64 Position() const override { return file_.Position() + shift_; }
    void Seek(qint64 position) override;
    qint64 Size() const override { return file_.Size() + shift_; }
    void SetSize(qint64 size) override;
    void Write(const char* data, qint64 length) override;
    using TStream::Write;

    // Whether the whole file was sent and written from byte 0.
    bool RestartedFromZero() const { return shift_ > 0; }

private:
    void bodyStarts();

    TStream& file_;
    const std::function<bool()> wholeBody_;
    bool decided_ = false;
    qint64 shift_ = 0;
};

} // namespace hl
