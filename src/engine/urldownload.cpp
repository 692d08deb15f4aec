#include "engine/urldownload.h"

#include "engine/csvsplit.h"
#include "engine/filenaming.h"
#include "engine/outputfiles.h"

namespace hl {

UrlDownload::UrlDownload(DownloadWindow& window, RunState& state, const EngineEnvironment& environment,
                         QString url, bool multithreaded, std::unique_ptr<DownloadProtocol> protocol)
    : state_(state), environment_(environment), protocol_(std::move(protocol)),
      actions_(window, state, *environment.clock), progress_(window, state, *environment.clock),
      urlfile_(std::move(url)), multithreaded_(multithreaded) {}

UrlDownload::~UrlDownload() {
    protocol_.reset();
}

void UrlDownload::Run() {
    if (state_.StopRequested.requested() || urlfile_.trimmed().isEmpty()) return;
    const DownloadActions::UrlStart start = actions_.StartUrl(urlfile_, multithreaded_);
    options_ = start.options;
    KacinciDownload = start.prefix;

    const CsvTarget target = TargetOfLine(urlfile_, options_.saveFolder, options_.treatAsCsv);
    urlfile_ = protocol_->RequestUrl(target.url);

    state_.Counters.CountDownloading += 1;
    try {
        transfer(target.folder);
    } catch (const std::exception& error) {
        discardEmptyFiles();
        actions_.FinishAfterError(slot_, error, cutByStop_, urlfile_, ProxySatir, options_.showErrors);
    }
}

void UrlDownload::transfer(const QString& folder) {
    slot_ = actions_.ClaimSlot();
    const QString filename = protocol_->OutputPath(*this, folder);
    actions_.DisplayFilename(LastPathElement(filename), multithreaded_);

    const ExistingFile existing = existingFile(filename);
    if (existing.skip) {
        actions_.DisplayFilename(QStringLiteral("(SKIPPED) ") + LastPathElement(filename), multithreaded_);
        actions_.FinishSkipped(slot_, urlfile_);
        return;
    }
    if (StopRequested()) {
        actions_.FinishStopped(slot_, urlfile_);
        return;
    }
    protocol_->Connect(*this);

    ReservedOutput output = state_.Reservations.Reserve(filename, options_.overwrite, options_.resumePartial,
                                                        existing.emptyCountsAsAbsent, hold_);
    reserved_ = true;
    filename_ = output.filename;
    partfilename_ = output.partfilename;
    const bool resume = output.ResumeDownload && protocol_->CanResume();
    // A server that cannot continue the file sends all of it again, into the emptied partial file.
    if (output.ResumeDownload && !resume) output.FS->SetSize(0);
    const FetchResult fetched = protocol_->Fetch(*this, *output.FS, resume);
    output.FS.reset();

    if (cutByStop_) {
        discardEmptyFiles();
        actions_.FinishStopped(slot_, urlfile_);
        return;
    }
    MoveToFinalName(partfilename_, filename_);
    if (fetched.emptyAfterAttempts > 0)
        actions_.FinishEmpty(slot_, urlfile_, fetched.emptyAfterAttempts, options_.showErrors);
    else
        actions_.FinishDownloaded(slot_, urlfile_);
}

UrlDownload::ExistingFile UrlDownload::existingFile(const QString& filename) {
    if (!options_.skipExisting) return {};
    switch (protocol_->ExistingFiles()) {
    case SkipRule::NonEmptyFile:
        return {FileSizeOf(filename) > 0, true};
    case SkipRule::AnyFile:
        break;
    }
    // An empty file may be the name reservation of a download of the same name still under way,
    // and is skipped like any other. One that a killed download left beside its partial file is
    // no download; that partial file is continued instead.
    const bool killedBefore = state_.Reservations.IsLeftOfKilledDownload(filename);
    return {FileExists(filename) && !killedBefore, killedBefore};
}

ProxyRoute UrlDownload::TakeProxyRoute() {
    // The turn was set up before the run's workers started and does not change until it ends.
    if (!state_.Proxies.UseProxy) return std::monostate{};
    const ProxyLineFields line = actions_.TakeNextProxyLine();
    ProxySatir = line.ProxySatir;
    return proxyRouteFor(line, state_.Proxies.ProxyScheme);
}

bool UrlDownload::StopRequested() {
    if (state_.StopRequested.requested()) cutByStop_ = true;
    return cutByStop_;
}

void UrlDownload::RecordRedirect(const QString& target) {
    actions_.RecordRedirect(slot_, target, multithreaded_, KacinciDownload);
}

void UrlDownload::discardEmptyFiles() const {
    if (!reserved_) return;
    DeleteIfEmpty(partfilename_);
    DeleteIfEmpty(filename_);
}

} // namespace hl
