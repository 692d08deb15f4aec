// The HTTP procedure against Debian's nginx: large and compressed bodies, a real range reply,
// the server's file name, and a parallel run.
#include "engine/downloader.h"
#include "support/nginxserver.h"
#include "support/recordingwindow.h"
#include "support/tempdir.h"
#include "support/testcertificate.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace hl {
namespace {

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(42);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

test::NginxOptions siteOptions() {
    test::NginxOptions options;
    options.serverDirectives = QStringLiteral(
        "gzip on; gzip_types text/plain; gzip_min_length 1;\n"
        "location /named/ { add_header Content-Disposition 'attachment; filename=\"chosen name.bin\"'; }");
    return options;
}

class NginxDownloadTest : public ::testing::Test {
protected:
    NginxDownloadTest() : nginx(siteOptions()) {
        window.options.saveFolder = dir.path();
        window.options.showErrors = false;
    }

    void run(const QStringList& lines) {
        window.lines = lines;
        TDownloader(window, state, EngineEnvironment{}).DownloadNow();
    }

    test::NginxServer nginx;
    test::TempDir dir;
    test::RecordingWindow window;
    RunState state;
};

TEST_F(NginxDownloadTest, FetchesLargeCompressedAndNamedFilesExactly) {
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QByteArray big = randomBytes(3 * 1024 * 1024 + 17);
    const QByteArray text = QByteArray("line of text\n").repeated(20000);
    const QString bigUrl = nginx.put(QStringLiteral("big.bin"), big);
    const QString textUrl = nginx.put(QStringLiteral("notes.txt"), text);
    const QString namedUrl = nginx.put(QStringLiteral("named/x"), "named");
    run({bigUrl, textUrl, namedUrl});
    EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
    EXPECT_EQ(window.downloadLog.size(), 3);
    EXPECT_EQ(dir.read(QStringLiteral("big.bin")), big);
    EXPECT_EQ(dir.read(QStringLiteral("notes.txt")), text); // sent gzip-encoded, stored decoded
    EXPECT_EQ(dir.read(QStringLiteral("chosen name.bin")), "named");
}

TEST_F(NginxDownloadTest, ResumesFromARealRangeReply) {
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QByteArray content = randomBytes(200000);
    const QString url = nginx.put(QStringLiteral("r.bin"), content);
    dir.write(QStringLiteral("r.bin.part"), content.left(150000));
    run({url});
    EXPECT_EQ(dir.entries(), QStringList{QStringLiteral("r.bin")});
    EXPECT_EQ(dir.read(QStringLiteral("r.bin")), content);
}

TEST_F(NginxDownloadTest, ParallelRunFetchesEveryFileOnce) {
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    QStringList lines;
    for (int i = 0; i < 60; ++i)
        lines.append(nginx.put(QStringLiteral("f%1.dat").arg(i), randomBytes(4096 + i)));
    lines.append(nginx.url(QStringLiteral("/absent.dat")));
    window.runSettings = {true, 8, false, false};
    run(lines);
    EXPECT_EQ(state.Counters.CountFinished.load(), 60);
    EXPECT_EQ(state.Counters.CountErrors.load(), 1);
    EXPECT_EQ(window.errorLog, QStringList{QStringLiteral("(ERROR) HTTP/1.1 404 Not Found URL: ") +
                                           nginx.url(QStringLiteral("/absent.dat"))});
    EXPECT_EQ(dir.entries().size(), 60);
    EXPECT_EQ(dir.read(QStringLiteral("f59.dat")), randomBytes(4096 + 59));
}

TEST(NginxHttpsDownload, FetchesOverTls) {
    const test::TestCertificate& certificate = test::testCertificate();
    ASSERT_TRUE(certificate.error.isEmpty()) << certificate.error.toStdString();
    test::NginxOptions options;
    options.certificateFile = certificate.certificateFile;
    options.keyFile = certificate.keyFile;
    test::NginxServer nginx(options);
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QByteArray content = randomBytes(300000);
    test::TempDir dir;
    test::RecordingWindow window;
    window.options.saveFolder = dir.path();
    window.lines = {nginx.put(QStringLiteral("secure.bin"), content)};
    ASSERT_TRUE(window.lines[0].startsWith(QStringLiteral("https://")));
    RunState state;
    TDownloader(window, state, EngineEnvironment{}).DownloadNow();
    EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
    EXPECT_EQ(dir.read(QStringLiteral("secure.bin")), content);
}

// A name with a space and an "é", asked for through escapes and through the raw characters, and
// proposed names that are folders, over http and https.
class NginxNamingInterop : public ::testing::TestWithParam<bool> {
protected:
    static test::NginxOptions options(bool tls) {
        test::NginxOptions options;
        options.serverDirectives = QStringLiteral(
            "location /p1/ { add_header Content-Disposition 'attachment; filename=\"..\"'; }\n"
            "location /p2/ { add_header Content-Disposition 'attachment; filename=\".\"'; }\n"
            "location /p3/ { add_header Content-Disposition \"attachment; filename*=UTF-8''..\"; }\n"
            "location /p4/ { add_header Content-Disposition 'attachment; filename=\"/\"'; }");
        if (tls) {
            options.certificateFile = test::testCertificate().certificateFile;
            options.keyFile = test::testCertificate().keyFile;
        }
        return options;
    }

    NginxNamingInterop() : nginx(options(GetParam())) {
        window.options.saveFolder = dir.path();
        window.options.showErrors = false;
    }

    void run(const QStringList& lines) {
        window.lines = lines;
        TDownloader(window, state, EngineEnvironment{}).DownloadNow();
        EXPECT_TRUE(window.errorLog.isEmpty()) << window.errorLog.join('\n').toStdString();
    }

    test::NginxServer nginx;
    test::TempDir dir;
    test::RecordingWindow window;
    RunState state;
};

TEST_P(NginxNamingInterop, FetchesANonAsciiNameThroughEscapesAndRawCharacters) {
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QByteArray content = randomBytes(70000);
    nginx.put(QStringLiteral("dir/sp ace \u00e9.bin"), content);
    run({nginx.url(QStringLiteral("/dir/sp%20ace%20%C3%A9.bin")),
         nginx.url(QStringLiteral("/dir/sp ace \u00e9.bin"))});
    EXPECT_EQ(window.downloadLog.size(), 2);
    // The names the URLs give, as before.
    EXPECT_EQ(dir.entries(),
              (QStringList{QStringLiteral("sp ace -.bin"), QStringLiteral("sp ace -C3-A9.bin")}));
    EXPECT_EQ(dir.read(QStringLiteral("sp ace -.bin")), content);
    EXPECT_EQ(dir.read(QStringLiteral("sp ace -C3-A9.bin")), content);
}

TEST_P(NginxNamingInterop, AProposedFolderNameFallsBackToTheUrlsName) {
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    QStringList lines;
    for (int i = 1; i <= 4; ++i)
        lines.append(nginx.put(QStringLiteral("p%1/file%1.bin").arg(i), QByteArray::number(i)));
    run(lines);
    EXPECT_EQ(dir.entries(), (QStringList{QStringLiteral("file1.bin"), QStringLiteral("file2.bin"),
                                          QStringLiteral("file3.bin"), QStringLiteral("file4.bin")}));
    EXPECT_EQ(dir.read(QStringLiteral("file3.bin")), "3");
}

INSTANTIATE_TEST_SUITE_P(HttpAndHttps, NginxNamingInterop, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "https" : "http"; });

} // namespace
} // namespace hl
