#pragma once
// The HTTP procedure for one line of the URL list: CSV split, sharing-link rewriting, a fresh
// client per URL, the optional HEAD for the server's file name, the existing-file policy, the
// transfer into the ".part" file (resumed with a 1024-byte overlap, three tries for an empty
// body), the rename, and exactly one result per URL.
#include "engine/downloadactions.h"
#include "engine/engineenvironment.h"
#include "engine/outputreservations.h"
#include "engine/workforwarder.h"

#include <QString>

namespace hl {

class TIdHTTP;

class HttpDownload {
public:
    // One call's record; window, state, environment and settings must outlive it.
    HttpDownload(DownloadWindow& window, RunState& state, const EngineEnvironment& environment,
                 const RunSettings& settings, QString url, bool multithreaded);

    // Runs on the worker thread and returns when the URL is finished, skipped or failed. No error
    // of the transfer escapes; errors of the window actions themselves propagate.
    void Run();

private:
    // Everything from the client's creation to the result; throws the transfer's errors.
    void transfer(const DownloadOptions& options, const QString& folder);
    QString outputFileName(TIdHTTP& http, const DownloadOptions& options, const QString& folder);
    void installCallbacks(TIdHTTP& http);
    // GETs into the reserved partial file, up to three times while the body stays empty; leaves
    // the attempts made and the file's size in attempts_ and size_, or sets cutByStop_.
    void fetch(TIdHTTP& http, ReservedOutput& output);
    // The client's callbacks: the redirect target and the work of a reply body go to the slot
    // (and, in a sequential run, to the status line and the progress); a stop request cuts the
    // transfer from the work callback.
    void HttpRedirect(const QString& target);
    void HttpWork(TIdHTTP& http, qint64 count);
    // Whether STOP was pressed; once it was, the URL ends as stopped (cutByStop_).
    bool stopRequested();
    void requireCompleteBody(const TIdHTTP& http) const;
    void requireWholeFileAfterRange(const TIdHTTP& http, const TFileStream& file) const;
    // A failed or stopped URL leaves no empty file behind under its final or partial name.
    void discardEmptyFiles() const;

    RunState& state_;
    const EngineEnvironment& environment_;
    const RunSettings& settings_;
    DownloadActions actions_;
    QString urlfile_;
    const bool multithreaded_;
    QString KacinciDownload; // the status prefix "(n / m)"

    QString ProxySatir;
    qint64 slot_ = -1;
    bool reserved_ = false;
    OutputReservations::Hold hold_;
    QString filename_;
    QString partfilename_;
    int attempts_ = 0;
    qint64 size_ = 0;

    // The current reply body's bytes so far, on their way to the window.
    WorkForwarder work_;
    bool cutByStop_ = false;
};

} // namespace hl
