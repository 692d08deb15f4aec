#include "engine/transferslots.h"

#include <cstdlib>

namespace hl {

qint64 TransferSlots::Claim(qint64 nowMs) {
    const qint64 slot = nextSlot_++;
    TMyRecord& record = slots_[slot];
    record.FOngoing = true;
    record.FStartTime = nowMs;
    return slot;
}

const TMyRecord* TransferSlots::Find(qint64 slot) const {
    const auto it = slots_.find(slot);
    return it == slots_.end() ? nullptr : &it->second;
}

void TransferSlots::RecordWork(qint64 slot, qint64 bytes, qint64 nowMs, std::optional<qint64> length) {
    const auto it = slots_.find(slot);
    if (it == slots_.end()) return;
    it->second.FLastBytes = bytes;
    it->second.FLastBytesTime = nowMs;
    it->second.FLength = length;
}

void TransferSlots::SetRedirect(qint64 slot, const QString& target) {
    const auto it = slots_.find(slot);
    if (it != slots_.end()) it->second.FRedirectURL = target;
}

QString TransferSlots::Redirect(qint64 slot) const {
    const TMyRecord* record = Find(slot);
    return record ? record->FRedirectURL : QString();
}

void TransferSlots::Release(qint64 slot) {
    slots_.erase(slot);
}

double SlotSpeedMbps(const TMyRecord& slot) {
    const qint64 ms = std::llabs(slot.FLastBytesTime - slot.FStartTime);
    if (ms <= 0) return 0;
    return static_cast<double>(slot.FLastBytes) * 8 / static_cast<double>(ms) * 1000 / 1048576;
}

double TransferSlots::TotalSpeedMbps() const {
    double total = 0;
    for (const auto& [index, slot] : slots_) {
        const double speed = SlotSpeedMbps(slot);
        if (slot.FOngoing && speed > 0) total += speed;
    }
    return total;
}

} // namespace hl
