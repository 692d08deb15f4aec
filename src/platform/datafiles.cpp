#include "platform/datafiles.h"

#include "platform/standardfolders.h"

#include <QDir>
#include <QFileInfo>

namespace hl {

QStringList DataFolders(const QString& executableFolder) {
    const QString folder = WithTrailingSeparator(executableFolder);
    return {folder, WithTrailingSeparator(QDir::cleanPath(folder + QStringLiteral("../share/harvestline")))};
}

QString FindDataFile(const QString& name, const QString& executableFolder) {
    for (const QString& folder : DataFolders(executableFolder)) {
        const QFileInfo file(folder + name);
        if (file.isFile()) return file.filePath();
    }
    return {};
}

QString FindDataFile(const QString& name) {
    return FindDataFile(name, ExecutableFolder());
}

} // namespace hl
