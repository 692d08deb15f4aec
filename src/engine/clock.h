#pragma once
// The engine's time source: a steady millisecond clock. Injectable so that tests of elapsed
// times and speeds need not sleep.
#include <QtGlobal>
#include <memory>

namespace hl {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a steady scale (never jumps with the wall clock). Thread-safe.
    virtual qint64 nowMs() const = 0;
    // The millisecond tick count, wrapping at 32 bits.
    quint32 tickCount() const { return static_cast<quint32>(nowMs()); }
};

std::shared_ptr<const Clock> steadyClock();

} // namespace hl
