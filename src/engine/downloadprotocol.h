#pragma once
// What a protocol supplies to the lifecycle of one URL (UrlDownload): the URL it requests, the
// output name, the connection, the resume decision, and the transfer with its completeness check.
// Everything else (the stop latch, the slot, the proxy line's record, the existing-file policy,
// the reservation of the files, the cleanup, the rename and the one result line) is the
// lifecycle's, the same for every protocol. One object per URL, used on one worker thread.
#include <QString>

namespace hl {

class TFileStream;
class UrlDownload;

// How a file already at the output path is treated when "Skip Existing Files" is on.
enum class SkipRule {
    // HTTP: a file with content is skipped; an empty one counts as absent and is replaced.
    NonEmptyFile,
    // FTP: any file is skipped, an empty one too, unless it is the name reservation that a killed
    // download left beside its partial file, which is continued instead.
    AnyFile,
};

// What the transfer made of the partial file.
struct FetchResult {
    // The body stayed empty after this many requests: the URL ends as an empty file (HTTP). 0: the
    // transfer brought its bytes, or the protocol has no such rule.
    int emptyAfterAttempts = 0;
};

class DownloadProtocol {
public:
    virtual ~DownloadProtocol() = default;

    // The URL requested and reported for a line's URL (after the CSV split).
    virtual QString RequestUrl(const QString& url) const { return url; }
    virtual SkipRule ExistingFiles() const = 0;

    // The output path: folder + name + the cleaned extension text. Called once the slot is claimed;
    // may make the client, take the proxy line and ask the server (HTTP's HEAD). Throws the
    // transfer's errors.
    virtual QString OutputPath(UrlDownload& download, const QString& folder) = 0;
    // Readies the transfer of a URL that is not skipped, before any file is reserved (FTP connects
    // and logs in here). Throws the transfer's errors.
    virtual void Connect(UrlDownload&) {}
    // Whether an existing partial file can be continued; otherwise it is emptied first.
    virtual bool CanResume() { return true; }
    // Fetches into the reserved partial file (positioned at its start), continuing it when resume is
    // set. Returns early, without an error, once the download's stop latch is set; otherwise ends
    // with the completeness check: a file shorter than the server announced throws.
    virtual FetchResult Fetch(UrlDownload& download, TFileStream& file, bool resume) = 0;
};

} // namespace hl
