// Kill-and-resume soak. harvestline-cli fetches a 64 MiB file and 200 small ones from a local server
// whose send rate is limited, so that kills land inside bodies. It is SIGKILLed at random moments
// and run again with resume on, again and again, until a run ends by itself. Then every file must
// be byte-identical to its source and nothing else may be left in the folder: no partial file, no
// empty placeholder, no numbered copy. After every run, each file that the run logged as
// downloaded or skipped must already hold the right bytes.
//
// SOAK_KILLS sets the kills per mode (12 unless given) and SOAK_SEED the seed (from the clock unless
// given); both are printed with the outcome of each mode, so that a failure can be replayed.
#include "support/cliprocess.h"
#include "support/ftpserver.h"
#include "support/nginxserver.h"
#include "support/spawnedprocess.h"
#include "support/tempdir.h"
#include "support/testcertificate.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace hl {
namespace {

constexpr qint64 kBigFileSize = 64 * 1024 * 1024;
constexpr int kSmallFiles = 200;
constexpr qint64 kLargestSmallFile = 256 * 1024;
constexpr int kDefaultKills = 12;
// Kills fall uniformly between the start of a run and twice this.
constexpr int kMeanKillDelayMs = 400;
// The part of a killed run's life that goes into transferring, for choosing the send rate: what
// remains is start-up, the name-finding HEAD and the resumed kilobyte.
constexpr double kTransferSecondsPerRun = 0.3;
// A run that is left alone fetches at most the whole set once; this only bounds a hang.
constexpr int kUnkilledRunLimitMs = 15 * 60 * 1000;

enum class Protocol { Http, Https, Ftp };

struct SoakMode {
    const char* name;
    Protocol protocol;
    QStringList flags;
};

void PrintTo(const SoakMode& mode, std::ostream* out) {
    *out << mode.name;
}

quint64 environmentNumber(const char* name, quint64 fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QByteArray fileSha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

QByteArray randomBytes(std::mt19937_64& random, qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; i += 8) {
        const quint64 word = random();
        std::memcpy(bytes.data() + i, &word, static_cast<size_t>(std::min<qint64>(8, size - i)));
    }
    return bytes;
}

// The server of a mode, sending at most bytesPerSecond on each connection.
class SoakServer {
public:
    SoakServer(Protocol protocol, qint64 bytesPerSecond) {
        if (protocol == Protocol::Ftp) {
            ftp_ = std::make_unique<test::FtpServer>(bytesPerSecond);
            return;
        }
        test::NginxOptions options;
        options.serverDirectives = QStringLiteral("limit_rate %1;").arg(bytesPerSecond);
        if (protocol == Protocol::Https) {
            const test::TestCertificate& certificate = test::testCertificate();
            options.certificateFile = certificate.certificateFile;
            options.keyFile = certificate.keyFile;
        }
        nginx_ = std::make_unique<test::NginxServer>(options);
    }

    bool started() const { return ftp_ ? ftp_->started() : nginx_->started(); }
    QString log() const { return ftp_ ? ftp_->log() : nginx_->log(); }
    QString put(const QString& name, const QByteArray& bytes) const {
        return ftp_ ? ftp_->put(name, bytes) : nginx_->put(name, bytes);
    }

private:
    std::unique_ptr<test::NginxServer> nginx_;
    std::unique_ptr<test::FtpServer> ftp_;
};

// The files served, by URL: the name the download takes and the SHA-256 of the source.
struct SourceFile {
    QString name;
    QByteArray sha256;
};

QHash<QString, SourceFile> serveSourceFiles(const SoakServer& server, std::mt19937_64& random) {
    QHash<QString, SourceFile> files;
    const auto serve = [&](const QString& name, const QByteArray& bytes) {
        files.insert(server.put(name, bytes), SourceFile{name, sha256(bytes)});
    };
    serve(QStringLiteral("big.bin"), randomBytes(random, kBigFileSize));
    // Sizes spread evenly over the orders of magnitude, and the ones around the kilobyte that a
    // resume fetches again.
    const qint64 edges[] = {1, 1023, 1024, 1025, 2048};
    std::uniform_real_distribution<double> magnitude(0.0, std::log(double(kLargestSmallFile)));
    for (int i = 0; i < kSmallFiles; ++i) {
        const qint64 size = i < int(std::size(edges)) ? edges[i] : qint64(std::exp(magnitude(random)));
        serve(QStringLiteral("small-%1.bin").arg(i, 3, 10, QLatin1Char('0')), randomBytes(random, size));
    }
    return files;
}

QList<QByteArray> completeLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    // A line that a kill cut short has no line end; it belongs to no complete result.
    lines.removeLast();
    return lines;
}

class KillResumeSoak : public testing::TestWithParam<SoakMode> {
protected:
    // Every downloaded or skipped file the run reports must already be the source's bytes, and a
    // healthy server gives no error. Returns how many reported files were checked.
    int checkRunLogs(int run, const QString& folder) {
        int checked = 0;
        for (const QByteArray& line : completeLines(work_.file(QStringLiteral("out.txt")))) {
            const QString text = QString::fromUtf8(line);
            const qsizetype url = text.indexOf(QLatin1String(" URL: "));
            const auto source = files_.constFind(text.mid(url + 6));
            if (url < 0 || source == files_.constEnd() ||
                !(text.startsWith(QLatin1String("(DOWNLOADED)")) ||
                  text.startsWith(QLatin1String("(SKIPPED)")))) {
                ADD_FAILURE() << "run " << run << " wrote an unexpected line: " << line.toStdString();
                continue;
            }
            const QString path = folder + QLatin1Char('/') + source->name;
            ++checked;
            if (fileSha256(path) != source->sha256)
                ADD_FAILURE() << "run " << run << " logged \"" << line.toStdString() << "\" but "
                              << source->name.toStdString() << " holds other bytes ("
                              << QFileInfo(path).size() << " bytes)";
        }
        for (const QByteArray& line : completeLines(work_.file(QStringLiteral("err.txt"))))
            ADD_FAILURE() << "run " << run << " reported: " << line.toStdString();
        return checked;
    }

    // Exactly the source files are in the folder, each byte-identical; returns how many are.
    int checkFinishedFolder(const QString& folder) {
        QStringList expected;
        for (const SourceFile& file : files_)
            expected.append(file.name);
        expected.sort();
        const QStringList found = QDir(folder).entryList(
            QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        EXPECT_EQ(found, expected) << "the folder must hold the finished files and nothing else";
        int identical = 0;
        for (const SourceFile& file : files_) {
            if (fileSha256(folder + QLatin1Char('/') + file.name) == file.sha256)
                ++identical;
            else
                ADD_FAILURE() << file.name.toStdString() << " differs from its source";
        }
        return identical;
    }

    test::TempDir work_;
    QHash<QString, SourceFile> files_;
};

TEST_P(KillResumeSoak, EveryFileEndsIdenticalWhateverMomentTheRunIsKilled) {
    const SoakMode& mode = GetParam();
    const int kills = static_cast<int>(environmentNumber("SOAK_KILLS", kDefaultKills));
    const quint64 seed = environmentNumber("SOAK_SEED", std::random_device{}());
    std::mt19937_64 random(seed);
    std::printf("soak %s: seed %llu, %d kills\n", mode.name, static_cast<unsigned long long>(seed), kills);
    std::fflush(stdout);

    // Slow enough that the kills fall inside the transfer of the big file, whatever their number.
    // pyftpdlib lets each new data connection send a whole second's worth at once, and every run
    // after a kill opens a new one: a quarter of the rate keeps those kills inside the body too.
    const qint64 rate = qMax<qint64>(qint64(1.25 * kBigFileSize / (qMax(kills, 1) * kTransferSecondsPerRun)) /
                                         (mode.protocol == Protocol::Ftp ? 4 : 1),
                                     64 * 1024);
    const SoakServer server(mode.protocol, rate);
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    files_ = serveSourceFiles(server, random);
    QStringList urls = files_.keys();
    urls.sort();
    std::shuffle(urls.begin(), urls.end(), random);
    work_.write(QStringLiteral("list.txt"), urls.join(QLatin1Char('\n')).toUtf8() + '\n');

    std::uniform_int_distribution<int> killDelayMs(0, 2 * kMeanKillDelayMs);
    int killed = 0, runs = 0, rounds = 0, identical = 0, reported = 0;
    // A round starts from an empty folder and ends with a run that ends by itself. When the files
    // are complete before all kills are spent, another round starts, so every kill hits real work.
    while (!HasFailure() && (rounds == 0 || killed < kills)) {
        const QString folder = work_.file(QStringLiteral("round-%1").arg(++rounds));
        for (;;) {
            ++runs;
            test::SpawnedProcess run(test::cliProgram(),
                                     QStringList{QStringLiteral("-d"), folder, QStringLiteral("-i"),
                                                 work_.file(QStringLiteral("list.txt"))} +
                                         mode.flags,
                                     work_.file(QStringLiteral("out.txt")),
                                     work_.file(QStringLiteral("err.txt")));
            const bool killThisRun = killed < kills;
            std::optional<test::ProcessOutcome> ended =
                run.waitFor(killThisRun ? killDelayMs(random) : kUnkilledRunLimitMs);
            if (!ended && killThisRun) {
                // A run that ended by itself just before the kill shows its own ending.
                const test::ProcessOutcome outcome = run.kill();
                if (outcome.signal == SIGKILL)
                    ++killed;
                else
                    ended = outcome;
            }
            ASSERT_TRUE(ended || killThisRun) << "run " << runs << " did not end";
            reported += checkRunLogs(runs, folder);
            if (HasFailure()) break;
            if (!ended) continue;
            ASSERT_TRUE(ended->exited && ended->exitCode == 0)
                << "run " << runs << " ended with status " << ended->exitCode << ", signal " << ended->signal;
            identical += checkFinishedFolder(folder);
            break;
        }
    }
    std::printf("soak %s: seed %llu, rate %lld B/s, %d kills in %d runs, %d logged files checked, files "
                "identical %d of %d over %d rounds\n",
                mode.name, static_cast<unsigned long long>(seed), static_cast<long long>(rate), killed, runs,
                reported, identical, int(files_.size()) * rounds, rounds);
    EXPECT_EQ(killed, kills);
    EXPECT_EQ(identical, files_.size() * rounds);
}

const SoakMode kModes[] = {
    {"sequential", Protocol::Http, {}},
    {"task_engine_8", Protocol::Http, {QStringLiteral("-j"), QStringLiteral("8")}},
    {"classic_engine_8",
     Protocol::Http,
     {QStringLiteral("-j"), QStringLiteral("8"), QStringLiteral("--classic")}},
    {"https_8", Protocol::Https, {QStringLiteral("-j"), QStringLiteral("8")}},
    {"ftp_8", Protocol::Ftp, {QStringLiteral("-j"), QStringLiteral("8")}},
};

INSTANTIATE_TEST_SUITE_P(Modes, KillResumeSoak, testing::ValuesIn(kModes),
                         [](const testing::TestParamInfo<SoakMode>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace hl
