#include "platform/standardfolders.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace hl {

QString WithTrailingSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString ExecutableFolder() {
    // /proc/self/exe works before (and without) a QCoreApplication exists.
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return WithTrailingSeparator(QFileInfo(executable).absolutePath());
}

QString UserConfigFolder() {
    return WithTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString DesktopFolder() {
    return WithTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

} // namespace hl
