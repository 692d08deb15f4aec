#include "settings/settings.h"

namespace hl {

QLatin1String SwitchText(bool on) {
    return on ? QLatin1String("ON") : QLatin1String("OFF");
}

std::optional<QString> Settings::Value(SettingKey key) const {
    return image_.Value(kSettingsSection, Definition(key).name);
}

bool Settings::Switch(SettingKey key) const {
    const SettingDefinition& definition = Definition(key);
    Q_ASSERT(definition.kind == SettingKind::Switch);
    const std::optional<QString> value = Value(key);
    if (!value) return definition.startsOn;
    return definition.startsOn ? *value != SwitchText(false) : *value == SwitchText(true);
}

int Settings::Number(SettingKey key) const {
    const SettingDefinition& definition = Definition(key);
    Q_ASSERT(definition.kind == SettingKind::Integer);
    const std::optional<QString> value = Value(key);
    const std::optional<int> number = value ? ParseIniInteger(*value) : std::nullopt;
    return number.value_or(definition.defaultNumber);
}

QString Settings::Text(SettingKey key) const {
    Q_ASSERT(Definition(key).kind == SettingKind::Text);
    return Value(key).value_or(QString());
}

hl::ProxyType Settings::ProxyType() const {
    return ProxyTypeFromText(Value(SettingKey::ProxyType).value_or(QString())).value_or(hl::ProxyType::Http);
}

QString Settings::SaveLocation(const QString& desktopFolder) const {
    const QString location = Text(SettingKey::SaveLocation);
    return location.isEmpty() ? desktopFolder : location;
}

} // namespace hl
