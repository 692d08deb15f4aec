#pragma once
// Options for harvestline-cli taken from a settings.ini, the file the window keeps.
#include "cli/commandline.h"

#include <QString>

namespace hl::cli {

// `base` with every option that the tool shares with the window taken from the settings.ini at
// `path`, by the window's reading rules (switch rule, number defaults). A key the file does not hold
// leaves the window's default; an absent or empty "SaveLocation" or "UserAgent" keeps `base`'s
// value (or "CustomExtension"). "ProxyType" sets how the lines of --proxy-list are used (the
// window's proxylist.txt is not read). The file is only read, never written or deleted. Throws
// UsageError when it cannot be read or is not valid UTF-8.
CommandLine ApplySettingsFile(const QString& path, CommandLine base);

} // namespace hl::cli
