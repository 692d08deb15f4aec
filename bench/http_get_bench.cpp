// harvestline-bench-httpget URL FILE: fetches one URL into a file with the HTTP client, as a
// download does (redirects followed, compression offered), and prints the throughput.
#include "protocols/idhttp.h"

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s URL FILE\n", argv[0]);
        return 2;
    }
    try {
        hl::TIdHTTP http;
        http.ConnectTimeout = 10000;
        http.ReadTimeout = 10000;
        http.HandleRedirects = true;
        http.RedirectMaximum = 9;
        http.Compressor = std::make_shared<hl::TIdCompressorZLib>();
        hl::TFileStream file(QString::fromLocal8Bit(argv[2]), hl::TFileStream::Mode::Create);
        QElapsedTimer timer;
        timer.start();
        http.Get(QString::fromLocal8Bit(argv[1]), &file);
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        const double megabytes = static_cast<double>(file.Size()) / 1e6;
        std::printf("%lld bytes in %.3f s: %.1f MB/s\n", static_cast<long long>(file.Size()), seconds,
                    megabytes / seconds);
        return 0;
    } catch (const hl::Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
