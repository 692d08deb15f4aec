#include "settings/settingsfolder.h"

#include "buildinfo.h"
#include "platform/filecontents.h"
#include "platform/standardfolders.h"
#include "platform/writeprobe.h"

#include <QDir>

namespace hl {

QString ChooseSettingsFolder(const QString& executableFolder, const QString& configFolder) {
    if (CanWriteToFolder(executableFolder)) return WithTrailingSeparator(executableFolder);
    const QString folder = WithTrailingSeparator(configFolder) +
                           QStringLiteral(HARVESTLINE_COMPANY_NAME "/") +
                           QStringLiteral(HARVESTLINE_PRODUCT_NAME "/");
    QDir().mkpath(folder);
    return folder;
}

QString ChooseSettingsFolder() {
    return ChooseSettingsFolder(ExecutableFolder(), UserConfigFolder());
}

void RemoveStoredSettings(const QString& folder) {
    DeleteFile(folder + kUrlListFileName);
    DeleteFile(folder + kSettingsFileName);
}

} // namespace hl
