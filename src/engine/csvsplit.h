#pragma once
// The folder column of a URL list in CSV mode: "URL,folder" sends the file to that folder.
#include <QString>
#include <functional>

namespace hl {

struct CsvTarget {
    QString url;    // the URL to request
    QString folder; // where the file goes, with a trailing "/"
};

// Creates folder with its parents, ignoring errors, and tells whether the folder exists afterwards.
using FolderMaker = std::function<bool(const QString& folder)>;
bool MakeFolderWithParents(const QString& folder);

// Splits line at its first comma into URL and folder. An absolute folder is used as it is, any
// other is taken below saveFolder; the folder is created through makeFolder. When no such folder
// exists afterwards, the whole line stays the URL and the file goes to saveFolder. saveFolder ends
// with "/".
CsvTarget SplitCsvLine(const QString& line, const QString& saveFolder,
                       const FolderMaker& makeFolder = MakeFolderWithParents);

// Where a line of the URL list downloads: in CSV mode a line with a comma goes through
// SplitCsvLine; otherwise the whole line is the URL and the file goes to saveFolder (with or
// without its trailing "/").
CsvTarget TargetOfLine(const QString& line, const QString& saveFolder, bool treatAsCsv);

} // namespace hl
