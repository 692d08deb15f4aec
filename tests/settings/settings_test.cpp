#include "settings/settings.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

Settings withValue(SettingKey key, const QString& value) {
    IniImage image;
    image.SetValue(kSettingsSection, Definition(key).name, value);
    return Settings(std::move(image));
}

TEST(Settings, SwitchRule) {
    struct Case {
        SettingKey key; // Overwrite starts unchecked, SkipExistingFiles checked
        std::optional<QString> value;
        bool on;
    };
    const Case cases[] = {
        {SettingKey::Overwrite, std::nullopt, false},
        {SettingKey::Overwrite, QStringLiteral("ON"), true},
        {SettingKey::Overwrite, QStringLiteral("on"), false},
        {SettingKey::Overwrite, QStringLiteral("1"), false},
        {SettingKey::Overwrite, QString(), false},
        {SettingKey::SkipExistingFiles, std::nullopt, true},
        {SettingKey::SkipExistingFiles, QStringLiteral("OFF"), false},
        {SettingKey::SkipExistingFiles, QStringLiteral("off"), true},
        {SettingKey::SkipExistingFiles, QStringLiteral("0"), true},
        {SettingKey::SkipExistingFiles, QString(), true},
    };
    for (const Case& c : cases) {
        const Settings settings = c.value ? withValue(c.key, *c.value) : Settings();
        EXPECT_EQ(settings.Switch(c.key), c.on)
            << Definition(c.key).name.data() << "=" << c.value.value_or("(absent)").toStdString();
    }
}

TEST(Settings, NumbersFallBackToTheKeysDefault) {
    EXPECT_EQ(Settings().Number(SettingKey::ConnectionTimeout), 10000);
    EXPECT_EQ(Settings().Number(SettingKey::SchedulerDelay), 60);
    EXPECT_EQ(Settings().Number(SettingKey::MultiThreads), 0);
    EXPECT_EQ(
        withValue(SettingKey::ConnectionTimeout, QStringLiteral("abc")).Number(SettingKey::ConnectionTimeout),
        10000);
    EXPECT_EQ(withValue(SettingKey::ConnectionTimeout, QStringLiteral("0x10"))
                  .Number(SettingKey::ConnectionTimeout),
              16);
    EXPECT_EQ(
        withValue(SettingKey::ResponseTimeout, QStringLiteral("-1")).Number(SettingKey::ResponseTimeout), -1);
}

TEST(Settings, ProxyTypeMatchesOnlyTheExactTexts) {
    const std::pair<std::optional<QString>, ProxyType> cases[] = {
        {std::nullopt, ProxyType::Http},
        {QStringLiteral("HTTP"), ProxyType::Http},
        {QStringLiteral("SOCKS5"), ProxyType::Socks5},
        {QStringLiteral("SOCKS4A"), ProxyType::Socks4A},
        {QStringLiteral("SOCKS4"), ProxyType::Socks4},
        {QStringLiteral("SOCKS 5"), ProxyType::Http},
        {QStringLiteral("socks5"), ProxyType::Http},
        {QStringLiteral("SOCKS4a"), ProxyType::Http},
    };
    for (const auto& [value, type] : cases) {
        const Settings settings = value ? withValue(SettingKey::ProxyType, *value) : Settings();
        EXPECT_EQ(settings.ProxyType(), type) << value.value_or("(absent)").toStdString();
    }
    for (ProxyType type : {ProxyType::Http, ProxyType::Socks5, ProxyType::Socks4A, ProxyType::Socks4})
        EXPECT_EQ(withValue(SettingKey::ProxyType, ProxyTypeText(type)).ProxyType(), type);
}

TEST(Settings, EmptyOrAbsentSaveLocationIsTheDesktop) {
    const QString desktop = QStringLiteral("/home/u/Desktop/");
    EXPECT_EQ(Settings().SaveLocation(desktop), desktop);
    EXPECT_EQ(withValue(SettingKey::SaveLocation, QString()).SaveLocation(desktop), desktop);
    EXPECT_EQ(withValue(SettingKey::SaveLocation, QStringLiteral("/data/")).SaveLocation(desktop),
              QStringLiteral("/data/"));
}

} // namespace
} // namespace hl
