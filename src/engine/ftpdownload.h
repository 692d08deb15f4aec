#pragma once
// The FTP procedure for one ftp:// line of the URL list: CSV split, a fresh client per URL that
// logs in anonymously (through the URL's proxy line when the run uses proxies), the existing-file
// policy shared with the HTTP procedure, the transfer into the ".part" file (continued where the
// server allows it), the rename, and exactly one result per URL.
#include "engine/downloadactions.h"
#include "engine/engineenvironment.h"
#include "engine/outputreservations.h"
#include "engine/workforwarder.h"

#include <QString>

namespace hl {

class TIdFTP;
class TFileStream;
struct FtpUrlTarget;

class FtpDownload {
public:
    static constexpr const char* kUsername = "anonymous";
    static constexpr const char* kPassword = "freeguest";

    // One call's record; window, state, environment and settings must outlive it.
    FtpDownload(DownloadWindow& window, RunState& state, const EngineEnvironment& environment,
                const RunSettings& settings, QString url, bool multithreaded);

    // Runs on the worker thread and returns when the URL is finished, skipped or failed. No error
    // of the transfer escapes; errors of the window actions themselves propagate.
    void Run();

private:
    // Everything from the client's creation to the result; throws the transfer's errors.
    void transfer(const DownloadOptions& options, const QString& folder);
    void configure(TIdFTP& ftp, const DownloadOptions& options, const FtpUrlTarget& target);
    void applyProxy(TIdFTP& ftp);
    void installCallbacks(TIdFTP& ftp);
    // Retrieves into the partial file, at its end when resuming; a stop cuts it short.
    void fetch(TIdFTP& ftp, TFileStream& file, const QString& path, bool resume);
    void onWork(TIdFTP& ftp, qint64 count);
    // Whether STOP was pressed; from then on the transfer counts as cut short.
    bool stopRequested();
    // A failed or stopped URL leaves no empty file behind under its final or partial name.
    void discardEmptyFiles() const;

    RunState& state_;
    const EngineEnvironment& environment_;
    const RunSettings& settings_;
    DownloadActions actions_;
    QString url_;
    const bool multithreaded_;

    QString ProxySatir;
    qint64 slot_ = -1;
    bool reserved_ = false;
    OutputReservations::Hold hold_;
    QString filename_;
    QString partfilename_;
    // What SIZE reported for the remote file: -1 when the server did not tell.
    qint64 totalSize_ = 0;

    // Data bytes of this transfer so far, on their way to the window.
    WorkForwarder work_;
    bool cutByStop_ = false;
};

} // namespace hl
