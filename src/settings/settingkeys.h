#pragma once
// Every option settings.ini holds, as one table that the window and the command-line tool share.
#include <QLatin1String>
#include <span>

namespace hl {

enum class SettingKey {
    SaveLocation,
    CustomExtension,
    ShowErrors,
    ServerProposedName,
    FullURL,
    IncludeParameters,
    MultiThreaded,
    ZlibCompression,
    ProxyType,
    Overwrite,
    TreatURLListAsCSV,
    ResumePartialDownloads,
    SkipExistingFiles,
    RememberProxyList,
    ConnectionTimeout,
    ResponseTimeout,
    UserAgent,
    ShowSettings,
    MultiThreads,
    ClassicMultiThreads,
    SchedulerDelay,
    SchedulerStartNow,
    SchedulerPeriodic,
    SchedulerDelayEach,
};

enum class SettingKind {
    Switch,    // "ON" or "OFF", read by the switch rule
    Integer,   // decimal or "0x" hexadecimal; anything else reads as the default
    Text,      // as typed; empty or absent means the control keeps its own default
    ProxyType, // "HTTP", "SOCKS5", "SOCKS4A" or "SOCKS4"; anything else reads as HTTP
};

// The window that owns a key's control.
enum class SettingWindow { Main, MultiThreading, Scheduler };

struct SettingDefinition {
    SettingKey key;
    QLatin1String name; // the key in settings.ini
    SettingKind kind;
    bool startsOn;     // switches: the control's state before the file is applied
    int defaultNumber; // integers: the value of an absent or non-numeric entry
    SettingWindow window;
    QLatin1String control; // designer name of the control (for ProxyType: the submenu)
    bool appliedAtStartup; // put into its control while the main window is created
};

// All keys. Those applied at start-up come first, in the order the main window applies them; the
// dialogs' keys follow (the dialogs read them whenever they open, the run reads "MultiThreads").
std::span<const SettingDefinition> SettingDefinitions();

const SettingDefinition& Definition(SettingKey key);

} // namespace hl
