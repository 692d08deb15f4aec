#include "cli/settingsfile.h"

#include "engine/storedoptions.h"
#include "platform/filecontents.h"
#include "settings/settingsstore.h"

namespace hl::cli {
namespace {

Settings readSettings(const QString& path) {
    try {
        return Settings(ReadIniFile(path));
    } catch (const EFileError& error) {
        throw UsageError(error.message());
    }
}

} // namespace

CommandLine ApplySettingsFile(const QString& path, CommandLine base) {
    const Settings stored = readSettings(path);
    base.options = StoredDownloadOptions(stored, std::move(base.options));
    base.run = StoredRunSettings(stored);
    return base;
}

} // namespace hl::cli
