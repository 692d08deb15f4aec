#pragma once
// The lifecycle of one line of the URL list, the same for HTTP and FTP:
//
//   start      options snapshot, status line, CSV split, the URL to request; counted as under way
//   name       slot claimed; the protocol names the output (HTTP may ask the server); name shown
//   skip       "Skip Existing Files" by the protocol's rule: (SKIPPED) line, done
//   connect    a STOP so far ends the URL before any file is made; the protocol connects
//   reserve    output and partial file chosen and created under the run's reservation lock
//   fetch      the protocol's resume decision and transfer into the partial file
//   finish     partial file renamed; one result line: (DOWNLOADED), empty file, stopped or error
//
// Whatever happens, a URL that started ends with exactly one result (one Download Log line, or one
// Error Log line with its optional box; an empty file writes both), its slot released, its counters
// moved, and no empty file left under its final or partial name after a failure or a stop. Errors
// are caught here and never escape Run, except those of the window actions themselves.
//
// The protocol (DownloadProtocol) calls back into the public members below while the lifecycle
// runs it. One object per URL, used on the worker thread that runs the line.
#include "engine/downloadactions.h"
#include "engine/downloadprotocol.h"
#include "engine/engineenvironment.h"
#include "engine/outputreservations.h"
#include "engine/progresspublisher.h"
#include "engine/proxyroute.h"

#include <QString>
#include <memory>

namespace hl {

class UrlDownload {
public:
    // window, state and environment must outlive the download.
    UrlDownload(DownloadWindow& window, RunState& state, const EngineEnvironment& environment, QString url,
                bool multithreaded, std::unique_ptr<DownloadProtocol> protocol);
    // Ends the protocol's client first: its session's end may still ask StopRequested.
    ~UrlDownload();
    UrlDownload(const UrlDownload&) = delete;
    UrlDownload& operator=(const UrlDownload&) = delete;

    // Returns when the URL is finished, skipped, stopped or failed.
    void Run();

    // For the protocol, while it runs.
    const QString& Url() const { return urlfile_; }
    const DownloadOptions& Options() const { return options_; }
    const EngineEnvironment& Environment() const { return environment_; }
    qint64 Slot() const { return slot_; }
    // How this URL reaches its server: the next line of the run's proxy turn when the run uses
    // proxies (its error lines then name the line), else direct. Call it once per URL.
    ProxyRoute TakeProxyRoute();
    // Whether STOP was pressed; once this has said so, the URL ends as stopped (CutByStop).
    bool StopRequested();
    // Whether StopRequested has said so, without asking again: a transfer that ended just before a
    // stop request is still complete.
    bool CutByStop() const { return cutByStop_; }
    // The body bytes of the current transfer so far (Progress().Restart() starts a new one).
    void ReportWork(qint64 bytes) { progress_.Report(slot_, bytes); }
    ProgressPublisher& Progress() { return progress_; }
    const ProgressPublisher& Progress() const { return progress_; }
    // A redirect target: kept for the result line, shown in a sequential run's status line.
    void RecordRedirect(const QString& target);

private:
    // Everything from the slot's claim to the result; throws the transfer's errors.
    void transfer(const QString& folder);
    struct ExistingFile {
        bool skip = false;                // the URL ends as skipped
        bool emptyCountsAsAbsent = false; // the reservation may replace an empty final file
    };
    ExistingFile existingFile(const QString& filename);
    // A failed or stopped URL leaves no empty file behind under its final or partial name.
    void discardEmptyFiles() const;

    RunState& state_;
    const EngineEnvironment& environment_;
    std::unique_ptr<DownloadProtocol> protocol_;
    DownloadActions actions_;
    ProgressPublisher progress_;
    QString urlfile_;
    const bool multithreaded_;
    DownloadOptions options_;
    QString KacinciDownload; // the status prefix "(n / m)"

    QString ProxySatir;
    qint64 slot_ = -1;
    bool reserved_ = false;
    OutputReservations::Hold hold_;
    QString filename_;
    QString partfilename_;
    bool cutByStop_ = false;
};

} // namespace hl
