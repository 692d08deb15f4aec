#include "protocols/idwork.h"

namespace hl {

void WorkTracker::begin(TWorkMode mode, qint64 workCountMax) {
    Direction& d = directions_[mode];
    if (++d.level != 1) return;
    d.count = 0;
    if (!onBegin_) return;
    try {
        onBegin_(mode, workCountMax);
    } catch (...) {
        d.level = 0; // no scope was opened, so nothing will end it
        throw;
    }
}

void WorkTracker::add(TWorkMode mode, qint64 bytes) {
    Direction& d = directions_[mode];
    if (d.level == 0) return;
    d.count += bytes;
    if (onWork_) onWork_(mode, d.count);
}

void WorkTracker::end(TWorkMode mode) {
    Direction& d = directions_[mode];
    if (d.level == 0) return;
    if (d.level == 1 && onEnd_) {
        d.level = 0;
        onEnd_(mode);
        return;
    }
    --d.level;
}

WorkScope::WorkScope(WorkTracker& tracker, TWorkMode mode, qint64 workCountMax)
    : tracker_(tracker), mode_(mode) {
    tracker_.begin(mode_, workCountMax);
}

WorkScope::~WorkScope() {
    if (!open_) return;
    try {
        tracker_.end(mode_);
    } catch (...) {
        // Leaving by an exception already: that one is the failure to report.
    }
}

void WorkScope::finish() {
    open_ = false;
    tracker_.end(mode_);
}

} // namespace hl
