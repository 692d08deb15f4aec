#pragma once
// The download options and run settings that a settings.ini holds, read by the window's rules (the
// switch rule, the number defaults), for every front end that takes them from the stored settings.
#include "engine/downloadoptions.h"
#include "settings/settings.h"

namespace hl {

// base with every download option of stored. A key the settings do not hold takes the window's
// default; an absent or empty "SaveLocation", "CustomExtension" or "UserAgent" keeps base's value.
DownloadOptions StoredDownloadOptions(const Settings& stored, DownloadOptions base);

// "MultiThreaded", "MultiThreads", "ClassicMultiThreads" and "ProxyType".
RunSettings StoredRunSettings(const Settings& stored);

} // namespace hl
