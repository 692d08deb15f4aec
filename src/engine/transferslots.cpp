#include "engine/transferslots.h"

#include <cstdlib>

namespace hl {

qint64 TransferSlots::Claim(qint64 nowMs) {
    std::lock_guard lock(mutex_);
    const qint64 slot = nextSlot_++;
    TMyRecord& record = slots_[slot];
    record.FOngoing = true;
    record.FStartTime = nowMs;
    return slot;
}

qint64 TransferSlots::NextSlot() const {
    std::lock_guard lock(mutex_);
    return nextSlot_;
}

void TransferSlots::RecordWork(qint64 slot, qint64 bytes, qint64 nowMs, std::optional<qint64> length) {
    std::lock_guard lock(mutex_);
    const auto it = slots_.find(slot);
    if (it == slots_.end()) return;
    TMyRecord& record = it->second;
    record.FLastBytes = bytes;
    record.FLastBytesTime = nowMs;
    record.FLength = length;
    record.FReported = true;
}

void TransferSlots::SetRedirect(qint64 slot, const QString& target) {
    std::lock_guard lock(mutex_);
    const auto it = slots_.find(slot);
    if (it != slots_.end()) it->second.FRedirectURL = target;
}

QString TransferSlots::Redirect(qint64 slot) const {
    std::lock_guard lock(mutex_);
    const auto it = slots_.find(slot);
    return it == slots_.end() ? QString() : it->second.FRedirectURL;
}

void TransferSlots::Release(qint64 slot) {
    std::lock_guard lock(mutex_);
    slots_.erase(slot);
}

double SlotSpeedMbps(const TMyRecord& slot) {
    const qint64 ms = std::llabs(slot.FLastBytesTime - slot.FStartTime);
    if (ms <= 0) return 0;
    return static_cast<double>(slot.FLastBytes) * 8 / static_cast<double>(ms) * 1000 / 1048576;
}

double TransferSlots::TotalSpeedMbps() const {
    std::lock_guard lock(mutex_);
    double total = 0;
    for (const auto& [index, slot] : slots_) {
        const double speed = SlotSpeedMbps(slot);
        if (slot.FOngoing && speed > 0) total += speed;
    }
    return total;
}

std::map<qint64, TMyRecord> TransferSlots::InUse() const {
    std::lock_guard lock(mutex_);
    return slots_;
}

std::optional<TMyRecord> TransferSlots::Newest() const {
    std::lock_guard lock(mutex_);
    if (slots_.empty()) return std::nullopt;
    return slots_.rbegin()->second;
}

} // namespace hl
