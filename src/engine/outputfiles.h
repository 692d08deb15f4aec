#pragma once
// The existing-file policy of a download, on the file system: free numbered names, empty files
// that count as absent, and the one step that reserves a download's output and partial files.
// Paths use "/" as the separator; a folder of a given name never counts as a file.
#include "platform/streams.h"

#include <QSet>
#include <QString>
#include <memory>

namespace hl {

// Whether something that is not a folder exists at path.
bool FileExists(const QString& path);

// The size in bytes of the file at path, or -1 when there is no such file.
qint64 FileSizeOf(const QString& path);

// path when no file of that name exists, else the first free "stem (n).ext" for n = 2, 3, ...
// (each candidate built from path itself): a.zip -> a (2).zip, a.zip.part -> a.zip (2).part.
QString UniqueFileName(const QString& path);

// Deletes the file at path when it exists and is empty; true when such a file is gone afterwards.
// Anything else (no file, a file with content, a folder) is left alone and gives false.
bool DeleteIfEmpty(const QString& path);

// The last element of a path.
QString LastPathElement(const QString& path);

// Where the bytes of the download into filename go until it is complete: filename + ".part".
QString PartialFileName(const QString& filename);

// Moves a finished partial file to its final name, replacing a file there. Throws EStreamError
// with the system's reason when that fails.
void MoveToFinalName(const QString& partialPath, const QString& finalPath);

// The output and partial files of one download, as ReserveOutputFiles chose and created them.
struct ReservedOutput {
    QString filename;                // final path: a placeholder reserves it while the transfer runs
    QString partfilename;            // where the bytes go until the transfer is complete
    bool ResumeDownload = false;     // partfilename existed and is continued
    std::unique_ptr<TFileStream> FS; // partfilename, open for writing
};

// Chooses and creates a download's files; callers serialise it (OutputReservations) so that no two
// downloads take the same name. Without overwrite the name becomes UniqueFileName(filename). A
// missing final file gets an empty placeholder; an existing one (overwrite) keeps its content
// until the finished transfer replaces it. An existing partial file is continued when
// resumePartial is set and no other download holds it (heldPaths), otherwise a free numbered
// partial name is taken. Throws EStreamError when a file cannot be created or opened.
ReservedOutput ReserveOutputFiles(const QString& filename, bool overwrite, bool resumePartial,
                                  const QSet<QString>& heldPaths = {});

} // namespace hl
