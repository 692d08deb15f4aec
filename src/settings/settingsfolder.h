#pragma once
// The settings folder: where settings.ini, list.txt and proxylist.txt live.
#include <QLatin1String>
#include <QString>

namespace hl {

inline constexpr QLatin1String kSettingsFileName("settings.ini");
inline constexpr QLatin1String kUrlListFileName("list.txt");
inline constexpr QLatin1String kProxyListFileName("proxylist.txt");

// `executableFolder` when the write probe succeeds there; otherwise `configFolder` + "LUMBRIX/" +
// "Harvestline/" (company and product name), created as needed. Creation failures are not reported
// here: the first save then names the problem. Both arguments may lack the trailing "/"; the result
// ends with one. Blocks for the probe and the folder creation.
QString ChooseSettingsFolder(const QString& executableFolder, const QString& configFolder);

// The choice for this process: the executable's folder, else the user's configuration folder.
QString ChooseSettingsFolder();

// The file side of Reset to Defaults: deletes list.txt, then settings.ini, from `folder`; a failed
// delete is ignored. proxylist.txt stays.
void RemoveStoredSettings(const QString& folder);

} // namespace hl
