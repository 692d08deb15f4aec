#include "engine/csvsplit.h"

#include "engine/outputfiles.h"
#include "platform/standardfolders.h"

#include <QDir>
#include <QFileInfo>

namespace hl {

bool MakeFolderWithParents(const QString& folder) {
    QDir().mkpath(folder);
    return QFileInfo(folder).isDir();
}

CsvTarget SplitCsvLine(const QString& line, const QString& saveFolder, const FolderMaker& makeFolder) {
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    if (comma < 0) return {line, saveFolder};
    const QString url = line.left(comma);
    const QString folder = line.mid(comma + 1);
    if (folder.startsWith(QLatin1Char('/')) && makeFolder(folder))
        return {url, WithTrailingSeparator(folder)};
    if (makeFolder(saveFolder + folder)) return {url, WithTrailingSeparator(saveFolder + folder)};
    return {line, saveFolder};
}

CsvTarget TargetOfLine(const QString& line, const QString& saveFolder, bool treatAsCsv) {
    const QString folder = WithTrailingSeparator(saveFolder);
    if (treatAsCsv && line.contains(QLatin1Char(','))) return SplitCsvLine(line, folder);
    return {line, folder};
}

} // namespace hl
