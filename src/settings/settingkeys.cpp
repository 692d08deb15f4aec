#include "settings/settingkeys.h"

#include <array>

namespace hl {
namespace {

using K = SettingKey;
using Kind = SettingKind;
using W = SettingWindow;

constexpr SettingDefinition entry(K key, const char* name, Kind kind, bool startsOn, int defaultNumber,
                                  W window, const char* control, bool appliedAtStartup) {
    return {key,
            QLatin1String(name),
            kind,
            startsOn,
            defaultNumber,
            window,
            QLatin1String(control),
            appliedAtStartup};
}

// clang-format off
constexpr std::array kDefinitions = {
    //    key                        name                      kind            on     default window             control                     at start-up
    entry(K::SaveLocation,           "SaveLocation",           Kind::Text,      false, 0,     W::Main,           "Edit1",                    true),
    entry(K::CustomExtension,        "CustomExtension",        Kind::Text,      false, 0,     W::Main,           "Edit6",                    true),
    entry(K::ShowErrors,             "ShowErrors",             Kind::Switch,    true,  0,     W::Main,           "ShowErrors1",              true),
    entry(K::ServerProposedName,     "ServerProposedName",     Kind::Switch,    true,  0,     W::Main,           "CheckBox1",                true),
    entry(K::FullURL,                "FullURL",                Kind::Switch,    false, 0,     W::Main,           "CheckBox2",                true),
    entry(K::IncludeParameters,      "IncludeParameters",      Kind::Switch,    false, 0,     W::Main,           "CheckBox3",                true),
    entry(K::MultiThreaded,          "MultiThreaded",          Kind::Switch,    false, 0,     W::Main,           "MultiThreaded1",           true),
    entry(K::ZlibCompression,        "ZlibCompression",        Kind::Switch,    true,  0,     W::Main,           "ZlibCompression1",         true),
    entry(K::ProxyType,              "ProxyType",              Kind::ProxyType, false, 0,     W::Main,           "ProxyType1",               true),
    entry(K::Overwrite,              "Overwrite",              Kind::Switch,    false, 0,     W::Main,           "Overwrite1",               true),
    entry(K::TreatURLListAsCSV,      "TreatURLListAsCSV",      Kind::Switch,    false, 0,     W::Main,           "TreatURLListAsCSV1",       true),
    entry(K::ResumePartialDownloads, "ResumePartialDownloads", Kind::Switch,    true,  0,     W::Main,           "ResumePartialDownloads1",  true),
    entry(K::SkipExistingFiles,      "SkipExistingFiles",      Kind::Switch,    true,  0,     W::Main,           "SkipExistingFiles1",       true),
    entry(K::RememberProxyList,      "RememberProxyList",      Kind::Switch,    false, 0,     W::Main,           "RememberProxyList1",       true),
    entry(K::ConnectionTimeout,      "ConnectionTimeout",      Kind::Integer,   false, 10000, W::Main,           "SpinEdit1",                true),
    entry(K::ResponseTimeout,        "ResponseTimeout",        Kind::Integer,   false, 10000, W::Main,           "SpinEdit2",                true),
    entry(K::UserAgent,              "UserAgent",              Kind::Text,      false, 0,     W::Main,           "ComboBox1",                true),
    entry(K::ShowSettings,           "ShowSettings",           Kind::Switch,    false, 0,     W::Main,           "Settings1",                true),
    entry(K::MultiThreads,           "MultiThreads",           Kind::Integer,   false, 0,     W::MultiThreading, "SpinEdit1",                false),
    entry(K::ClassicMultiThreads,    "ClassicMultiThreads",    Kind::Switch,    false, 0,     W::MultiThreading, "CheckBox1",                false),
    entry(K::SchedulerDelay,         "SchedulerDelay",         Kind::Integer,   false, 60,    W::Scheduler,      "SpinEdit1",                false),
    entry(K::SchedulerStartNow,      "SchedulerStartNow",      Kind::Switch,    false, 0,     W::Scheduler,      "CheckBox1",                false),
    entry(K::SchedulerPeriodic,      "SchedulerPeriodic",      Kind::Switch,    false, 0,     W::Scheduler,      "CheckBox2",                false),
    entry(K::SchedulerDelayEach,     "SchedulerDelayEach",     Kind::Switch,    false, 0,     W::Scheduler,      "CheckBox3",                false),
};
// clang-format on

// Definition() indexes the table by key, so the table must list the keys in their enum order.
constexpr bool listedInKeyOrder() {
    for (std::size_t i = 0; i < kDefinitions.size(); ++i)
        if (static_cast<std::size_t>(kDefinitions[i].key) != i) return false;
    return true;
}
static_assert(listedInKeyOrder());

} // namespace

std::span<const SettingDefinition> SettingDefinitions() {
    return kDefinitions;
}

const SettingDefinition& Definition(SettingKey key) {
    return kDefinitions[static_cast<std::size_t>(key)];
}

} // namespace hl
