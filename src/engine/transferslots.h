#pragma once
// One slot per download in progress: what the speed display, the redirect part of the result line
// and the command-line tool's progress bar read. Not thread-safe: every call happens inside a window action
// (DownloadWindow::Synchronize), which runs one at a time.
#include <QString>
#include <map>
#include <optional>

namespace hl {

struct TMyRecord {
    QString FRedirectURL;          // last redirect target reported for the download
    bool FOngoing = false;         // counts for the speed display
    qint64 FStartTime = 0;         // clock milliseconds when the download claimed the slot
    qint64 FLastBytes = 0;         // bytes of the current transfer at the last work report
    qint64 FLastBytesTime = 0;     // clock milliseconds of that report
    std::optional<qint64> FLength; // the body length the current transfer announced, if any
};

class TransferSlots {
public:
    // Takes the next slot index (never handed out twice) for a download starting at nowMs.
    qint64 Claim(qint64 nowMs);
    // Index of the next slot to hand out.
    qint64 NextSlot() const { return nextSlot_; }
    // Updates of a slot; an index that is not in use is ignored.
    void RecordWork(qint64 slot, qint64 bytes, qint64 nowMs, std::optional<qint64> length = std::nullopt);
    void SetRedirect(qint64 slot, const QString& target);
    // The last redirect target of a slot in use, else empty.
    QString Redirect(qint64 slot) const;
    // The download has ended; the slot no longer counts and is dropped.
    void Release(qint64 slot);
    // The summed average speed of the ongoing downloads, in megabits (1048576 bits) per second.
    double TotalSpeedMbps() const;
    int OngoingCount() const { return static_cast<int>(slots_.size()); }
    const TMyRecord* Find(qint64 slot) const;
    // The slots in use, by index.
    const std::map<qint64, TMyRecord>& InUse() const { return slots_; }

private:
    qint64 nextSlot_ = 0;
    // Only slots in use are kept: an ended slot is never read again, and a long run must not
    // grow a record per URL.
    std::map<qint64, TMyRecord> slots_;
};

// The average speed of one slot from its start to its last work report, in Mbps.
double SlotSpeedMbps(const TMyRecord& slot);

} // namespace hl
