#include "engine/outputreservations.h"

#include <utility>

namespace hl {

OutputReservations::Hold::Hold(Hold&& other) noexcept
    : owner_(std::exchange(other.owner_, nullptr)), paths_(std::move(other.paths_)) {}

OutputReservations::Hold& OutputReservations::Hold::operator=(Hold&& other) noexcept {
    if (this != &other) {
        if (owner_) owner_->release(paths_);
        owner_ = std::exchange(other.owner_, nullptr);
        paths_ = std::move(other.paths_);
    }
    return *this;
}

OutputReservations::Hold::~Hold() {
    if (owner_) owner_->release(paths_);
}

ReservedOutput OutputReservations::Reserve(const QString& filename, bool overwrite, bool resumePartial,
                                           bool emptyCountsAsAbsent, Hold& hold) {
    hold = Hold(); // one set of files per download
    ReservedOutput output;
    {
        std::lock_guard lock(mutex_);
        if (emptyCountsAsAbsent && !held_.contains(filename)) DeleteIfEmpty(filename);
        output = ReserveOutputFiles(filename, overwrite, resumePartial, held_);
        held_.insert(output.filename);
        held_.insert(output.partfilename);
    }
    hold.owner_ = this;
    hold.paths_ = {output.filename, output.partfilename};
    return output;
}

bool OutputReservations::IsLeftOfKilledDownload(const QString& filename) {
    std::lock_guard lock(mutex_);
    return !held_.contains(filename) && FileSizeOf(filename) == 0 && FileExists(PartialFileName(filename));
}

void OutputReservations::release(const QStringList& paths) {
    std::lock_guard lock(mutex_);
    for (const QString& path : paths)
        held_.remove(path);
}

} // namespace hl
