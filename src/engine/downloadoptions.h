#pragma once
// What the engine reads from the window: the options of one URL (a snapshot taken when the URL
// starts, so a change during a run applies to the URLs that start afterwards) and the settings of
// a whole run (taken when the run starts). Defaults are the window's defaults.
#include "engine/proxyline.h"

#include <QString>

namespace hl {

inline const QString kDefaultUserAgent =
    QStringLiteral("Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
                   "Chrome/100.0.4896.127 Safari/537.36");

struct DownloadOptions {
    QString saveFolder; // "Save to Folder:"
    QString extension;  // "Output Filename Extension:", cleaned before use
    QString userAgent = kDefaultUserAgent;
    int connectTimeoutMs = 10000; // 0 or -1: no limit
    int readTimeoutMs = 10000;
    bool serverProposedName = true; // ask with HEAD for a Content-Disposition name
    bool fullUrl = false;           // name from the whole URL
    bool includeParams = false;     // keep the query in the name
    bool overwrite = false;
    bool resumePartial = true;
    bool showErrors = true; // an error box per failed URL
    bool skipExisting = true;
    bool treatAsCsv = false; // "URL,folder" lines
    bool zlibCompression = true;
    bool strictTls = false; // verify https certificates and host names
    QString caFile;         // with strictTls: the authorities to trust; empty: the system's store
};

struct RunSettings {
    bool multiThreaded = false;            // parallel run
    int multiThreads = 0;                  // worker or task count; below 1: automatic
    bool classicEngine = false;            // the worker pool rather than the task engine
    bool useProxy = false;                 // the proxy list has lines: every URL takes the next one
    ProxyType proxyType = ProxyType::Http; // how the URLs apply their proxy lines
};

} // namespace hl
