#pragma once
// The FTP part of a URL's download (see UrlDownload for the rest): the name from the URL alone, so
// that an existing file is skipped before any server is contacted; a fresh client per URL that logs
// in anonymously (through the URL's proxy line when the run uses proxies); and the retrieval into
// the partial file, continued at its end where the server allows it.
#include "engine/downloadprotocol.h"
#include "protocols/idftp.h"

namespace hl {

class FtpDownload final : public DownloadProtocol {
public:
    static constexpr const char* kUsername = "anonymous";
    static constexpr const char* kPassword = "freeguest";

    SkipRule ExistingFiles() const override { return SkipRule::AnyFile; }
    QString OutputPath(UrlDownload& download, const QString& folder) override;
    void Connect(UrlDownload& download) override;
    bool CanResume() override { return ftp_.ResumeSupported(); }
    FetchResult Fetch(UrlDownload& download, TFileStream& file, bool resume) override;

private:
    void configure(UrlDownload& download);
    void applyProxy(UrlDownload& download);

    TIdFTP ftp_;
    // The remote path as the server takes it, known once logged in.
    QString remotePath_;
    // What SIZE reported for the remote file: -1 when the server did not tell.
    qint64 totalSize_ = 0;
};

} // namespace hl
