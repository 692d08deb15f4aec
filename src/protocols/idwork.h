#pragma once
// Progress reporting of a transfer client: nested begin/end per direction, a running byte count,
// and the three events a caller may hook. Shared by the HTTP and FTP clients.
#include <QtGlobal>
#include <array>
#include <functional>

namespace hl {

enum TWorkMode { wmRead, wmWrite };

using TWorkBeginEvent = std::function<void(TWorkMode mode, qint64 workCountMax)>;
using TWorkEvent = std::function<void(TWorkMode mode, qint64 workCount)>;
using TWorkEndEvent = std::function<void(TWorkMode mode)>;

// Calls the events it is given (they belong to the client and may change between calls) on the
// thread that reports the work, synchronously.
class WorkTracker {
public:
    WorkTracker(const TWorkBeginEvent& onBegin, const TWorkEvent& onWork, const TWorkEndEvent& onEnd)
        : onBegin_(onBegin), onWork_(onWork), onEnd_(onEnd) {}

    // The outermost begin resets the count to 0 and fires OnWorkBegin with the announced size
    // (0 when unknown).
    void begin(TWorkMode mode, qint64 workCountMax);
    // Adds bytes to the count and fires OnWork, while a work of that direction is open.
    void add(TWorkMode mode, qint64 bytes);
    // The outermost end fires OnWorkEnd.
    void end(TWorkMode mode);

private:
    struct Direction {
        int level = 0;
        qint64 count = 0;
    };

    const TWorkBeginEvent& onBegin_;
    const TWorkEvent& onWork_;
    const TWorkEndEvent& onEnd_;
    std::array<Direction, 2> directions_{};
};

// Keeps one work open for a scope. The work ends when finish() is called or, on an exception, when
// the scope is left (OnWorkEnd still fires; an exception from it is dropped in favour of the one in
// flight).
class WorkScope {
public:
    WorkScope(WorkTracker& tracker, TWorkMode mode, qint64 workCountMax);
    ~WorkScope();
    WorkScope(const WorkScope&) = delete;
    WorkScope& operator=(const WorkScope&) = delete;
    void finish();

private:
    WorkTracker& tracker_;
    TWorkMode mode_;
    bool open_ = true;
};

} // namespace hl
