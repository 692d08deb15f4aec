#pragma once
// The output files that the downloads of this process hold while they transfer. Reserving happens
// one download at a time, and a file another download still holds is never taken for free: its
// empty final file is not removed as absent, and its partial file, which that download is still
// writing, is never continued or emptied. Thread-safe; called on worker threads.
#include "engine/outputfiles.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <mutex>

namespace hl {

class OutputReservations {
public:
    // Keeps a download's files held until it is destroyed (or assigned another hold). Move-only.
    class Hold {
    public:
        Hold() = default;
        Hold(Hold&& other) noexcept;
        Hold& operator=(Hold&& other) noexcept;
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        friend class OutputReservations;
        OutputReservations* owner_ = nullptr;
        QStringList paths_;
    };

    // ReserveOutputFiles for one download. With emptyCountsAsAbsent (Skip Existing Files), an empty
    // final file is deleted first, unless another download holds it. The chosen files stay held by
    // `hold`. Throws EStreamError as ReserveOutputFiles does.
    ReservedOutput Reserve(const QString& filename, bool overwrite, bool resumePartial,
                           bool emptyCountsAsAbsent, Hold& hold);

    // Whether filename is an empty final file beside its partial file (of any size) that no
    // download of this process holds: the name reservation of a download that was killed before it
    // finished. A finished download leaves no partial file, a failed one no empty files.
    bool IsLeftOfKilledDownload(const QString& filename);

private:
    void release(const QStringList& paths);

    std::mutex mutex_;
    QSet<QString> held_;
};

} // namespace hl
