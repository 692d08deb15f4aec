#pragma once
// Where one reply body goes: the caller's stream (or nowhere), through a content decoder when the
// body is compressed, with the first bytes kept for character-set detection. Applies the stream
// rules of a transfer: reserve a known length up front, and after an early end keep exactly what
// was written.
#include "platform/streams.h"
#include "protocols/bodysink.h"
#include "protocols/contentdecoder.h"

#include <QByteArray>
#include <memory>
#include <optional>

namespace hl {

class HttpBodyDestination {
public:
    // stream: where the body goes from its current position, or nullptr to drop it (not owned).
    // coding: decode the body on its way. sniffLimit: how many leading (decoded) bytes prefix()
    // keeps.
    HttpBodyDestination(TStream* stream, std::optional<ContentCoding> coding, qint64 sniffLimit);
    ~HttpBodyDestination();
    HttpBodyDestination(const HttpBodyDestination&) = delete;
    HttpBodyDestination& operator=(const HttpBodyDestination&) = delete;

    // Where the body framing writes the body as received.
    BodySink& input();
    // Extends the stream to position + length before a body of known length is read (not for a
    // decoded body, whose size is unknown). Throws EIdIOHandlerStreamDataTooLarge past 2^63-1.
    void reserve(qint64 length);
    // The body is complete: ends decoding (EDecompressionError when it is cut short).
    void finish();
    // The body ended early: the stream is cut back to the bytes written. A decoded body is removed
    // altogether, since a part of a decoded body cannot be resumed.
    void abandon();

    const QByteArray& prefix() const { return output_.prefix; }

private:
    struct Output final : BodySink {
        TStream* stream = nullptr;
        qint64 sniffLimit = 0;
        QByteArray prefix;
        void Write(const char* data, qint64 length) override;
    };

    Output output_;
    qint64 start_ = 0;
    std::unique_ptr<ContentDecoder> decoder_;
};

} // namespace hl
