#include "engine/resumestream.h"

#include <algorithm>

namespace hl {

ResumeTargetStream::ResumeTargetStream(TStream& file, std::function<qint64(qint64)> bodyStart)
    : file_(file), bodyStart_(std::move(bodyStart)) {}

void ResumeTargetStream::bodyStarts() {
    if (decided_) return;
    const qint64 resumeAt = file_.Position();
    // Also for a file that starts empty: a range that begins later would pass for the whole file.
    const qint64 start = bodyStart_(resumeAt);
    if (start > resumeAt) throw EResumeRangeGap();
    decided_ = true;
    if (start < resumeAt) {
        const qint64 from = std::max<qint64>(start, 0);
        file_.SetSize(from);
        file_.Seek(from);
        shift_ = resumeAt - from;
    }
}

void ResumeTargetStream::Seek(qint64 position) {
    file_.Seek(std::max<qint64>(position - shift_, 0));
}

void ResumeTargetStream::SetSize(qint64 size) {
    // Growing the stream reserves a body's length: the body starts.
    if (size > Position()) bodyStarts();
    // Before that, the client only goes back to where it began (after a redirect, or a reply that
    // failed or was refused): the partial file keeps every byte, the kilobyte asked for again too.
    if (!decided_) return;
    // The file itself only grows by what is written, into space reserved here. A partial file
    // longer than what arrived would, after a crash or a kill, be resumed from its end with a hole
    // of zeros inside.
    const qint64 fileSize = std::max<qint64>(size - shift_, 0);
    if (fileSize > file_.Size())
        file_.ReserveSpace(fileSize);
    else
        file_.SetSize(fileSize);
}

void ResumeTargetStream::Write(const char* data, qint64 length) {
    if (length > 0) bodyStarts();
    file_.Write(data, length);
}

} // namespace hl
