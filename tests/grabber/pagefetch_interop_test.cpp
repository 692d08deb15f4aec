// The grabber's crawl against Debian's nginx: over TLS, with a redirect and a gzip body.
#include "grabber/collector.h"
#include "support/nginxserver.h"
#include "support/qtprinters.h"
#include "support/testcertificate.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

class LinkCollection final : public CrawlEvents {
public:
    void ProbeFinished(const QString& url) override { pageUrl = url; }
    void Loading(const QString&) override {}
    void FetchFailed(const QString& message) override { error = message; }
    void LinksFound(const QStringList& found) override { links += found; }
    void Finished() override {}
    void Failed(const QString& message) override { error = message; }

    QString pageUrl;
    QString error;
    QStringList links;
};

TEST(CrawlInterop, CollectsAPageBehindARedirectOverTlsWithGzip) {
    const test::TestCertificate& certificate = test::testCertificate();
    ASSERT_TRUE(certificate.error.isEmpty()) << certificate.error.toStdString();
    test::NginxServer nginx({QStringLiteral("gzip on; gzip_types *; gzip_min_length 0;\n"
                                            "location = /start { return 302 /site/index.html; }\n"),
                             certificate.certificateFile, certificate.keyFile});
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    QByteArray page = "<html><body>\n";
    for (int i = 0; i < 2000; ++i)
        page += "<a href=\"file-" + QByteArray::number(i) + ".zip\">file</a>\n";
    page += "<img src='/pictures/logo.png'>\n</body></html>\n";
    nginx.put(QStringLiteral("site/index.html"), page);

    CrawlRequest request;
    request.startUrl = nginx.url(QStringLiteral("/start"));
    request.page.connectTimeoutMs = 5000;
    request.page.readTimeoutMs = 5000;
    LinkCollection events;
    const std::atomic<bool> running{false};
    Crawl(request, events, running);

    EXPECT_EQ(events.error, QString());
    EXPECT_EQ(events.pageUrl, nginx.url(QStringLiteral("/site/index.html")));
    ASSERT_EQ(events.links.size(), 2001);
    EXPECT_EQ(events.links.constFirst(), nginx.url(QStringLiteral("/site/file-0.zip")));
    EXPECT_EQ(events.links.constLast(), nginx.url(QStringLiteral("/pictures/logo.png")));
}

} // namespace
} // namespace hl
