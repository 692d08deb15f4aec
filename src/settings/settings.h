#pragma once
// The stored options with the reading rules of the key table: a plain value, not tied to a file.
#include "settings/inifile.h"
#include "settings/proxytype.h"
#include "settings/settingkeys.h"

#include <QString>
#include <optional>

namespace hl {

// The section that holds every key.
inline constexpr QLatin1String kSettingsSection("Settings");

// The stored text of a switch.
QLatin1String SwitchText(bool on);

class Settings {
public:
    // No keys: every read gives the default.
    Settings() = default;
    explicit Settings(IniImage image) : image_(std::move(image)) {}

    // The stored text, trimmed; nullopt when the key is absent.
    std::optional<QString> Value(SettingKey key) const;

    // The switch rule: a switch that starts on is off only for exactly "OFF"; one that starts off is
    // on only for exactly "ON". Anything else ("on", "", absent) gives the starting state.
    bool Switch(SettingKey key) const;

    // The number, or the key's default when absent or not a number (ParseIniInteger).
    int Number(SettingKey key) const;

    // The text; empty when absent.
    QString Text(SettingKey key) const;

    // The value is tested against "SOCKS5", "SOCKS4A" and "SOCKS4" with exact case; anything else
    // (absent, "socks5", "SOCKS 5") is HTTP.
    hl::ProxyType ProxyType() const;

    // "SaveLocation", or when that is absent or empty `desktopFolder` (which ends with "/").
    QString SaveLocation(const QString& desktopFolder) const;

    const IniImage& Image() const { return image_; }
    IniImage& Image() { return image_; }

private:
    IniImage image_;
};

} // namespace hl
