#include "engine/storedoptions.h"

#include <utility>

namespace hl {

DownloadOptions StoredDownloadOptions(const Settings& stored, DownloadOptions base) {
    using K = SettingKey;
    DownloadOptions& o = base;
    // An empty text means "the control's own default" to the window; here that is base's value.
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
    return base;
}

RunSettings StoredRunSettings(const Settings& stored) {
    RunSettings run;
    run.multiThreaded = stored.Switch(SettingKey::MultiThreaded);
    run.multiThreads = stored.Number(SettingKey::MultiThreads);
    run.classicEngine = stored.Switch(SettingKey::ClassicMultiThreads);
    run.proxyType = stored.ProxyType();
    return run;
}

} // namespace hl
