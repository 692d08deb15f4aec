#include "protocols/httpbodydestination.h"

#include "protocols/idexceptions.h"

#include <algorithm>
#include <limits>

namespace hl {

void HttpBodyDestination::Output::Write(const char* data, qint64 length) {
    if (prefix.size() < sniffLimit) prefix.append(data, std::min(length, sniffLimit - prefix.size()));
    if (stream) stream->Write(data, length);
}

HttpBodyDestination::HttpBodyDestination(TStream* stream, std::optional<ContentCoding> coding,
                                         qint64 sniffLimit) {
    output_.stream = stream;
    output_.sniffLimit = sniffLimit;
    if (stream) start_ = stream->Position();
    if (coding) decoder_ = std::make_unique<ContentDecoder>(*coding, output_);
}

HttpBodyDestination::~HttpBodyDestination() = default;

BodySink& HttpBodyDestination::input() {
    return decoder_ ? static_cast<BodySink&>(*decoder_) : output_;
}

void HttpBodyDestination::reserve(qint64 length) {
    TStream* const stream = output_.stream;
    if (!stream || decoder_) return;
    if (length > std::numeric_limits<qint64>::max() - start_) throw EIdIOHandlerStreamDataTooLarge();
    stream->SetSize(start_ + length);
}

void HttpBodyDestination::finish() {
    if (decoder_) decoder_->Finish();
}

void HttpBodyDestination::abandon() {
    TStream* const stream = output_.stream;
    if (!stream) return;
    const qint64 keep = decoder_ ? start_ : stream->Position();
    // Also at the current size: a file then gives back the space reserved for the rest.
    if (stream->Size() >= keep) stream->SetSize(keep);
    stream->Seek(keep);
}

} // namespace hl
