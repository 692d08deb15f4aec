#pragma once
// The HTTP part of a URL's download (see UrlDownload for the rest): the sharing-link rewriting, a
// fresh client per URL with a TLS transport that serves http URLs too, the optional HEAD for the
// server's file name, and the transfer into the partial file, continued with a 1024-byte overlap
// and asked again up to three times while the body stays empty.
#include "engine/downloadprotocol.h"
#include "protocols/idhttp.h"
#include "protocols/ssliohandlersocketopenssl.h"

#include <memory>

namespace hl {

class ResumeTargetStream;

class HttpDownload final : public DownloadProtocol {
public:
    HttpDownload();

    QString RequestUrl(const QString& url) const override;
    SkipRule ExistingFiles() const override { return SkipRule::NonEmptyFile; }
    QString OutputPath(UrlDownload& download, const QString& folder) override;
    FetchResult Fetch(UrlDownload& download, TFileStream& file, bool resume) override;

private:
    void configure(UrlDownload& download);
    // GETs once into destination; false when STOP cut the transfer.
    bool get(UrlDownload& download, ResumeTargetStream& destination);
    // The client takes a connection closed before Content-Length bytes as the end of the body; a
    // file cut short must not pass for a download.
    void requireCompleteBody(const UrlDownload& download) const;
    // A 206 that stops short of the whole file it names leaves only the start of the download.
    void requireWholeFileAfterRange(const TFileStream& file) const;

    std::shared_ptr<TIdSSLIOHandlerSocketOpenSSL> transport_;
    TIdHTTP http_;
};

} // namespace hl
