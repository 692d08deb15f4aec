// harvestline-bench-httpsconnections BASE_URL COUNT: fetches BASE_URL + "f<i>.bin" for i below
// COUNT, one after another, each with a fresh HTTP client and TLS transport as a download does, so
// every file costs a TCP connection and a full TLS handshake. Prints the time per download.
#include "protocols/idhttp.h"
#include "protocols/ssliohandlersocketopenssl.h"

#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BASE_URL COUNT\n", argv[0]);
        return 2;
    }
    const QString base = QString::fromLocal8Bit(argv[1]);
    const int count = std::atoi(argv[2]);
    try {
        QElapsedTimer timer;
        timer.start();
        qint64 bytes = 0;
        int resumed = 0;
        for (int i = 0; i < count; ++i) {
            auto tls = std::make_shared<hl::TIdSSLIOHandlerSocketOpenSSL>();
            tls->SSLOptions.SetSSLVersions({hl::TIdSSLVersion::sslvSSLv23, hl::TIdSSLVersion::sslvTLSv1,
                                            hl::TIdSSLVersion::sslvTLSv1_1, hl::TIdSSLVersion::sslvTLSv1_2});
            hl::TIdHTTP http;
            http.IOHandler = tls;
            http.ConnectTimeout = 10000;
            http.ReadTimeout = 10000;
            hl::TMemoryStream body;
            http.Get(base + QStringLiteral("f%1.bin").arg(i), &body);
            bytes += body.Size();
            resumed += tls->SessionResumed() ? 1 : 0;
        }
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        std::printf("%d downloads (%d resumed sessions), %lld bytes in %.1f ms: %.3f ms each\n", count,
                    resumed, static_cast<long long>(bytes), ms, ms / count);
        return 0;
    } catch (const hl::Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
