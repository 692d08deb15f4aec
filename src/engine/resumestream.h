#pragma once
// The destination of a resumed transfer. The request asks for the bytes from the resume position
// on, and the client writes the reply body from there. A server may ignore the range and send the
// whole file (a status other than 206), or send a range that starts elsewhere; written at the
// resume position either would corrupt the file. So the body is written where it belongs: the
// partial file is cut back to that place first (byte 0 for the whole file), and a range that starts
// beyond the resume position, which would leave a gap, is refused before anything is written (a
// fresh download resumes at 0: a range it did not ask for cannot pass for the file). Positions seen
// by the client stay those of a resumed file, so its own bookkeeping (reset to the start position, cutting
// back to what arrived) keeps working. A reservation of the body's length reserves disk space only: the file
// always holds exactly the bytes received, since a later resume continues from its end.
#include "platform/streams.h"
#include "protocols/idexceptions.h"

#include <functional>

namespace hl {

HL_DECLARE_FIXED_EXCEPTION(EResumeRangeGap, EIdException,
                           "The server sent a range that does not continue the partial file.");
// A range whose end falls short of the length of the whole file that it states.
HL_DECLARE_FIXED_EXCEPTION(EResumeRangeShort, EIdException,
                           "The server sent a range that does not reach the end of the file.");

class ResumeTargetStream final : public TStream {
public:
    // file must outlive the stream; it is positioned at the resume position. bodyStart is asked,
    // with that position, when the first body byte (or the reservation of the body's length)
    // arrives, and answers the file position where the reply's body belongs. Throws
    // EResumeRangeGap then when that is beyond the resume position.
    ResumeTargetStream(TStream& file, std::function<qint64(qint64 resumeAt)> bodyStart);

    qint64 Position() const override { return file_.Position() + shift_; }
    void Seek(qint64 position) override;
    qint64 Size() const override { return file_.Size() + shift_; }
    void SetSize(qint64 size) override;
    void Write(const char* data, qint64 length) override;
    using TStream::Write;

    // Whether the body was written from before the resume position (the whole file from byte 0,
    // or a range that starts earlier).
    bool StartedBeforeResumePosition() const { return shift_ > 0; }

private:
    void bodyStarts();

    TStream& file_;
    const std::function<qint64(qint64)> bodyStart_;
    bool decided_ = false;
    qint64 shift_ = 0;
};

} // namespace hl
