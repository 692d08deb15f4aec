#pragma once
// The folders the system gives this program. Every result ends with the path separator "/".
#include <QString>

namespace hl {

// `folder` with "/" appended unless it already ends with one (so an empty name gives "/").
QString WithTrailingSeparator(const QString& folder);

// The folder that holds the running executable.
QString ExecutableFolder();

// The user's configuration folder: $XDG_CONFIG_HOME, or ~/.config when that is not set.
QString UserConfigFolder();

// The user's desktop folder, the default save folder.
QString DesktopFolder();

} // namespace hl
