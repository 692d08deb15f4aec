#pragma once
// The checks a front end makes before it starts a run; a failed check means no run.
#include <QString>
#include <QStringList>
#include <optional>

namespace hl {

// The warning for a list without any URL.
QString EmptyListMessage();

// lines without those that are empty after trimming.
QStringList RemoveBlankLines(const QStringList& lines);

// Adds the trailing "/" to folder (in place, also when the check fails), creates the folder with
// its parents and write-probes it. Returns the refusal ("Cannot write to folder: " + folder), or
// nothing when the run may start.
std::optional<QString> PrepareSaveFolder(QString& folder);

} // namespace hl
