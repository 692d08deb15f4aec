#include "cli/settingsfile.h"

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

ProxyType proxyTypeOf(ProxyTypeOption option) {
    switch (option) {
    case ProxyTypeOption::Socks5:
        return ProxyType::Socks5;
    case ProxyTypeOption::Socks4A:
        return ProxyType::Socks4A;
    case ProxyTypeOption::Socks4:
        return ProxyType::Socks4;
    case ProxyTypeOption::Http:
        break;
    }
    return ProxyType::Http;
}

} // namespace

CommandLine ApplySettingsFile(const QString& path, CommandLine base) {
    const Settings stored = readSettings(path);
    using K = SettingKey;

    DownloadOptions& o = base.options;
    // An empty text means "the control's own default" to the window; here that is `base`'s value.
    for (const auto& [key, field] :
         {std::pair{K::SaveLocation, &o.saveFolder}, std::pair{K::CustomExtension, &o.extension},
          std::pair{K::UserAgent, &o.userAgent}}) {
        if (const QString text = stored.Text(key); !text.isEmpty()) *field = text;
    }
    o.connectTimeoutMs = stored.Number(K::ConnectionTimeout);
    o.readTimeoutMs = stored.Number(K::ResponseTimeout);
    o.serverProposedName = stored.Switch(K::ServerProposedName);
    o.fullUrl = stored.Switch(K::FullURL);
    o.includeParams = stored.Switch(K::IncludeParameters);
    o.overwrite = stored.Switch(K::Overwrite);
    o.resumePartial = stored.Switch(K::ResumePartialDownloads);
    o.showErrors = stored.Switch(K::ShowErrors);
    o.skipExisting = stored.Switch(K::SkipExistingFiles);
    o.treatAsCsv = stored.Switch(K::TreatURLListAsCSV);
    o.zlibCompression = stored.Switch(K::ZlibCompression);

    RunSettings& run = base.run;
    run.multiThreaded = stored.Switch(K::MultiThreaded);
    run.multiThreads = stored.Number(K::MultiThreads);
    run.classicEngine = stored.Switch(K::ClassicMultiThreads);
    run.proxyType = proxyTypeOf(stored.ProxyType());
    return base;
}

} // namespace hl::cli
