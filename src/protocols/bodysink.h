#pragma once
// Where the bytes of a body go as they are read or decoded.
#include <QtGlobal>

namespace hl {

class BodySink {
public:
    virtual ~BodySink() = default;
    // Takes the next length bytes of the body; throws when they cannot be kept.
    virtual void Write(const char* data, qint64 length) = 0;
};

} // namespace hl
