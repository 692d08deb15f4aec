// harvestline-cli against servers that misbehave on purpose. One row per misbehaviour: what the
// server does, the one line the user reads about it, and the files left in the folder. Whatever a
// server sends, the process's peak memory stays bounded. Rows with random offsets draw them from a
// seed that is printed (HOSTILE_SEED replays it).
#include "support/cliprocess.h"
#include "support/compression.h"
#include "support/httpscript.h"
#include "support/opensslserver.h"
#include "support/patternedbytes.h"
#include "support/qtprinters.h"
#include "support/scriptedserver.h"
#include "support/spawnedprocess.h"
#include "support/tempdir.h"
#include "support/tlsinterceptor.h"
#include "support/tmpfsmount.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <random>
#include <sstream>

namespace hl {
namespace {

using test::ScriptedConnection;

constexpr qint64 kBodySize = 1024 * 1024;
// The tool itself takes some 11 MB, 16 MB with the TLS library loaded; no reply may make it hold
// much more than a few buffers.
constexpr long kMemoryBoundKb = 64 * 1024;
constexpr qint64 kSmallDiskBytes = 16 * 1024 * 1024;
constexpr int kRunLimitMs = 60000;
const QString kSentinel = QStringLiteral("sentinel");

const QByteArray& body() {
    static const QByteArray bytes = test::patternedBytes(kBodySize);
    return bytes;
}

QByteArray number(qint64 value) {
    return QByteArray::number(value);
}

bool isHead(const QByteArray& request) {
    return request.startsWith("HEAD ");
}

QByteArray requestTarget(const QByteArray& request) {
    return test::requestLine(request).split(' ').value(1);
}

QByteArray okHead(qint64 length, const QByteArray& headers = {}) {
    return "HTTP/1.1 200 OK\r\n" + headers + "Content-Length: " + number(length) + "\r\n\r\n";
}

QByteArray chunked(const QByteArray& data, qsizetype chunkSize) {
    QByteArray out;
    for (qsizetype at = 0; at < data.size(); at += chunkSize) {
        const QByteArray chunk = data.mid(at, chunkSize);
        out += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return out + "0\r\n\r\n";
}

void sendThenReset(ScriptedConnection& connection, const QByteArray& bytes) {
    connection.send(bytes);
    connection.waitUntilDelivered();
    connection.reset();
}

// Sends piece after piece, made on demand, until the client goes away or count pieces are out.
void sendUntilClientLeaves(ScriptedConnection& connection, const std::function<QByteArray(qint64)>& piece,
                           qint64 count) {
    for (qint64 i = 0; i < count && !connection.waitForClientClose(0); ++i)
        connection.send(piece(i));
}

// The server answers HEAD as a good server does (with extra headers) and hands each GET to get.
test::ScriptedServer::Script goodHeadThen(std::function<void(ScriptedConnection&, const QByteArray&)> get,
                                          const QByteArray& headHeaders = {}) {
    return test::handleEachRequest([=](ScriptedConnection& connection, const QByteArray& request) {
        if (isHead(request))
            connection.send(okHead(kBodySize, headHeaders));
        else
            get(connection, request);
    });
}

// A file the folder must hold afterwards.
struct ExpectedFile {
    QString name;
    QString what;
    std::function<bool(const QByteArray&)> holds;
};

ExpectedFile exactly(const QString& name, const QByteArray& bytes) {
    return {name, QStringLiteral("%1 bytes as sent").arg(bytes.size()),
            [bytes](const QByteArray& found) { return found == bytes; }};
}

// What fit on the disk of an endless body that repeats pattern.
ExpectedFile repeatedPrefix(const QString& name, const QByteArray& pattern) {
    return {name, QStringLiteral("a non-empty run of the repeated body"), [pattern](const QByteArray& found) {
                for (qsizetype i = 0; i < found.size(); i += pattern.size())
                    if (found.mid(i, pattern.size()) != pattern.left(qMin(pattern.size(), found.size() - i)))
                        return false;
                return !found.isEmpty();
            }};
}

// One run of the tool against a misbehaving server, and what the user must see. In the expected
// lines, {url} stands for the URL and {folder} for the download folder.
struct HostileCase {
    test::ScriptedServer::Script script;
    QString scheme = QStringLiteral("http");
    QStringList flags;
    QList<std::pair<QString, QByteArray>> before;
    QString errorLine;
    QString downloadLine;
    QList<ExpectedFile> files;
    // The folder is on a small disk of its own, beside a file that must stay as it is.
    bool smallDisk = false;
    // A complaint about what the server saw, or empty.
    std::function<QString(const test::ScriptedServer&)> serverCheck;
    // Further peers the case needs while it runs.
    std::shared_ptr<void> peers;
};

struct HostileRow {
    const char* name;
    std::function<HostileCase(std::mt19937_64&)> make;
    int draws = 1;
};

void PrintTo(const HostileRow& row, std::ostream* out) {
    *out << row.name;
}

int draw(std::mt19937_64& random, qint64 low, qint64 high) {
    return static_cast<int>(std::uniform_int_distribution<qint64>(low, high)(random));
}

const QString kResetLine =
    QStringLiteral("(ERROR) Socket Error # 10054 Connection reset by peer. URL: {url}");
const QString kReadTimeoutLine = QStringLiteral("(ERROR) Read timed out. URL: {url}");
const QString kLineTooLong = QStringLiteral("(ERROR) Max line length exceeded. URL: {url}");
const QString kDownloaded = QStringLiteral("(DOWNLOADED) URL: {url}");
const QString kDiskFull = QStringLiteral(
    "(ERROR) Cannot write to file \"{folder}/f.bin.part\". No space left on device URL: {url}");
const QStringList kShortReadTimeout{QStringLiteral("--read-timeout"), QStringLiteral("1000")};

// ---- Resets and stalls ------------------------------------------------------------------------

HostileCase resetInTheHeadOfTheHeadReply(std::mt19937_64& random) {
    const QByteArray head = okHead(kBodySize);
    const int at = draw(random, 0, head.size() - 1);
    HostileCase c;
    c.script = test::handleEachRequest(
        [=](ScriptedConnection& connection, const QByteArray&) { sendThenReset(connection, head.left(at)); });
    c.errorLine = kResetLine;
    return c;
}

HostileCase resetInTheHeadOfTheGetReply(std::mt19937_64& random) {
    const QByteArray head = okHead(kBodySize);
    const int at = draw(random, 0, head.size() - 1);
    HostileCase c;
    c.script = goodHeadThen(
        [=](ScriptedConnection& connection, const QByteArray&) { sendThenReset(connection, head.left(at)); });
    c.errorLine = kResetLine;
    return c;
}

HostileCase resetInTheBody(std::mt19937_64& random) {
    const int at = draw(random, 1, kBodySize - 1);
    HostileCase c;
    c.script = goodHeadThen([=](ScriptedConnection& connection, const QByteArray&) {
        sendThenReset(connection, okHead(kBodySize) + body().left(at));
    });
    c.errorLine = kResetLine;
    c.files = {exactly(QStringLiteral("f.bin.part"), body().left(at))};
    return c;
}

HostileCase resetInAChunkedBody(std::mt19937_64& random) {
    constexpr int kChunk = 64 * 1024;
    const QByteArray framed = chunked(body(), kChunk);
    // A cut inside the data of a chunk: what came of that chunk and all before it is in the file.
    const int chunk = draw(random, 0, kBodySize / kChunk - 1);
    const int within = draw(random, 1, kChunk - 1);
    const qsizetype at = framed.indexOf(body().mid(qsizetype(chunk) * kChunk, 64)) + within;
    HostileCase c;
    c.script = goodHeadThen([=](ScriptedConnection& connection, const QByteArray&) {
        sendThenReset(connection, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + framed.left(at));
    });
    c.errorLine = kResetLine;
    c.files = {exactly(QStringLiteral("f.bin.part"), body().left(qsizetype(chunk) * kChunk + within))};
    return c;
}

HostileCase stallInTheHead(std::mt19937_64& random) {
    const QByteArray head = okHead(kBodySize);
    const int at = draw(random, 0, head.size() - 1);
    HostileCase c;
    c.flags = kShortReadTimeout;
    c.script = goodHeadThen([=](ScriptedConnection& connection, const QByteArray&) {
        connection.send(head.left(at));
        connection.waitForClientClose(kRunLimitMs);
    });
    c.errorLine = kReadTimeoutLine;
    return c;
}

HostileCase stallInTheBody(std::mt19937_64& random) {
    const int at = draw(random, 1, kBodySize - 1);
    HostileCase c;
    c.flags = kShortReadTimeout;
    c.script = goodHeadThen([=](ScriptedConnection& connection, const QByteArray&) {
        connection.send(okHead(kBodySize) + body().left(at));
        connection.waitForClientClose(kRunLimitMs);
    });
    c.errorLine = kReadTimeoutLine;
    c.files = {exactly(QStringLiteral("f.bin.part"), body().left(at))};
    return c;
}

// Every byte comes within the read time-out, but the head never ends.
HostileCase dripOfHeaders(std::mt19937_64&) {
    HostileCase c;
    c.flags = {QStringLiteral("--read-timeout"), QStringLiteral("2000")};
    c.script = [](ScriptedConnection& connection) {
        if (connection.readHead().isEmpty()) return;
        const QByteArray drip = "HTTP/1.1 200 OK\r\nX-Drip: " + QByteArray(100000, 'a');
        for (qsizetype i = 0; i < drip.size() && !connection.waitForClientClose(i == 0 ? 0 : 1000); ++i)
            connection.send(drip.mid(i, 1));
    };
    c.errorLine = kReadTimeoutLine;
    return c;
}

// ---- Oversized and malformed replies ---------------------------------------------------------

HostileCase headerLineOf100MB(std::mt19937_64&) {
    HostileCase c;
    c.script = [](ScriptedConnection& connection) {
        if (connection.readHead().isEmpty()) return;
        connection.send("HTTP/1.1 200 OK\r\nX-Big: ");
        const QByteArray megabyte(1024 * 1024, 'a');
        sendUntilClientLeaves(
            connection, [&](qint64) { return megabyte; }, 100);
        connection.send("\r\nContent-Length: 0\r\n\r\n");
    };
    c.errorLine = kLineTooLong;
    return c;
}

HostileCase aMillionHeaders(std::mt19937_64&) {
    HostileCase c;
    c.script = [](ScriptedConnection& connection) {
        if (connection.readHead().isEmpty()) return;
        connection.send("HTTP/1.1 200 OK\r\n");
        constexpr int kBatch = 10000;
        sendUntilClientLeaves(
            connection,
            [](qint64 batch) {
                QByteArray lines;
                for (int i = 0; i < kBatch; ++i)
                    lines += "X-Header-" + number(batch * kBatch + i) + ": v\r\n";
                return lines;
            },
            1000000 / kBatch);
        connection.send("Content-Length: 0\r\n\r\n");
    };
    c.errorLine = QStringLiteral("(ERROR) Max header lines exceeded. URL: {url}");
    return c;
}

HostileCase endlessChunkedBodyUnderASmallLength(std::mt19937_64&) {
    const QByteArray pattern = test::patternedBytes(64 * 1024);
    HostileCase c;
    c.smallDisk = true;
    c.script = goodHeadThen([=](ScriptedConnection& connection, const QByteArray&) {
        connection.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 10\r\n\r\n");
        const QByteArray chunk = "10000\r\n" + pattern + "\r\n";
        sendUntilClientLeaves(
            connection, [&](qint64) { return chunk; }, std::numeric_limits<qint64>::max());
    });
    c.errorLine = kDiskFull;
    c.files = {repeatedPrefix(QStringLiteral("f.bin.part"), pattern)};
    return c;
}

HostileRow chunkSizeRow(const char* name, QByteArray sizeLine) {
    return {name, [sizeLine](std::mt19937_64&) {
                HostileCase c;
                c.script = goodHeadThen([=](ScriptedConnection& connection, const QByteArray&) {
                    connection.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + sizeLine +
                                    "\r\nabc\r\n0\r\n\r\n");
                });
                c.errorLine = QStringLiteral("(ERROR) Invalid chunked encoding. URL: {url}");
                return c;
            }};
}

HostileCase gzipInvalidAfter1MB(std::mt19937_64&) {
    QByteArray gzip = test::gzipBytes(test::patternedBytes(2 * kBodySize));
    gzip.replace(kBodySize, gzip.size() - kBodySize, QByteArray(gzip.size() - kBodySize, '\xff'));
    HostileCase c;
    c.script = goodHeadThen([=](ScriptedConnection& connection, const QByteArray&) {
        connection.send(okHead(gzip.size(), "Content-Encoding: gzip\r\n") + gzip);
    });
    c.errorLine = QStringLiteral("(ERROR) ZLib Error (-3) URL: {url}");
    return c;
}

// About 10 MB of gzip that inflates to 10 GiB of zeros, into a folder on a disk of 16 MiB.
HostileCase gzipBombOnASmallDisk(std::mt19937_64&) {
    constexpr qint64 kBlocks = 10 * 1024;
    HostileCase c;
    c.smallDisk = true;
    c.script = goodHeadThen([](ScriptedConnection& connection, const QByteArray&) {
        const test::GzipOfZeros gzip = test::gzipOfZeros();
        connection.send("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + gzip.header);
        sendUntilClientLeaves(
            connection, [&](qint64) { return gzip.block; }, kBlocks);
        connection.send(gzip.end(kBlocks));
    });
    c.errorLine = kDiskFull;
    return c;
}

// ---- Names and redirect targets ---------------------------------------------------------------

HostileRow proposedNameRow(const char* name, QByteArray disposition, QString savedAs) {
    return {name,
            [=](std::mt19937_64&) {
                HostileCase c;
                c.script =
                    goodHeadThen([](ScriptedConnection& connection,
                                    const QByteArray&) { connection.send(okHead(kBodySize) + body()); },
                                 "Content-Disposition: " + disposition + "\r\n");
                c.downloadLine = kDownloaded;
                c.files = {exactly(savedAs, body())};
                return c;
            },
            1};
}

// A Location for /f.bin; every other path is served the body. The file keeps the URL's name.
HostileRow redirectRow(const char* name, QByteArray location, QString shownAs) {
    return {name, [=](std::mt19937_64&) {
                HostileCase c;
                c.script =
                    test::handleEachRequest([=](ScriptedConnection& connection, const QByteArray& request) {
                        if (requestTarget(request) == "/f.bin")
                            connection.send("HTTP/1.1 302 Found\r\nLocation: " + location +
                                            "\r\nContent-Length: 0\r\n\r\n");
                        else
                            connection.send(okHead(kBodySize) + (isHead(request) ? QByteArray() : body()));
                    });
                c.downloadLine = kDownloaded + QStringLiteral(" REDIRECTED: ") + shownAs;
                c.files = {exactly(QStringLiteral("f.bin"), body())};
                // Whatever the Location holds, no request may carry a header line of its making.
                c.serverCheck = [](const test::ScriptedServer& server) {
                    for (const QByteArray& received : server.received())
                        if (received.contains("\nX-Injected")) return QStringLiteral("a header was injected");
                    return QString();
                };
                return c;
            }};
}

HostileRow oversizedHeaderRow(const char* name, QByteArray header) {
    return {name, [=](std::mt19937_64&) {
                HostileCase c;
                c.script = test::answerEachRequest([=](const QByteArray& request) {
                    return okHead(kBodySize, header + "\r\n") + (isHead(request) ? QByteArray() : body());
                });
                c.errorLine = kLineTooLong;
                return c;
            }};
}

// A chain of redirects that ends on an ftp:// URL of a server that speaks FTP: the HTTP client
// must not take its greeting for a reply.
HostileCase redirectChainToFtp(std::mt19937_64&) {
    auto ftp = std::make_shared<test::ScriptedServer>([](ScriptedConnection& connection) {
        connection.send("220 ready\r\n");
        while (!connection.readLine().isEmpty())
            connection.send("500 Unknown command.\r\n");
    });
    const QByteArray target = "ftp://127.0.0.1:" + number(ftp->port()) + "/f.bin";
    HostileCase c;
    c.peers = ftp;
    c.script = test::answerEachRequest([=](const QByteArray& request) -> QByteArray {
        const QByteArray next = requestTarget(request) == "/f.bin" ? "/hop" : target;
        return "HTTP/1.1 301 Moved Permanently\r\nLocation: " + next + "\r\nContent-Length: 0\r\n\r\n";
    });
    c.errorLine = QStringLiteral("(ERROR) Unknown Protocol URL: {url}");
    c.serverCheck = [ftp](const test::ScriptedServer&) {
        return ftp->connectionCount() == 0 ? QString()
                                           : QStringLiteral("the FTP server was spoken to in HTTP");
    };
    return c;
}

// ---- Ranges and statuses ----------------------------------------------------------------------

constexpr qint64 kPartialSize = 5000;

// A resume of a 5000-byte partial file answered with a 206 for bytes first to last.
HostileCase resumeAnsweredWithRange(qint64 first, qint64 last) {
    HostileCase c;
    c.before = {{QStringLiteral("f.bin.part"), body().left(kPartialSize)}};
    c.script = goodHeadThen([=](ScriptedConnection& connection, const QByteArray&) {
        connection.send("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + number(first) + "-" +
                        number(last) + "/" + number(kBodySize) + "\r\nContent-Length: " +
                        number(last - first + 1) + "\r\n\r\n" + body().mid(first, last - first + 1));
    });
    return c;
}

HostileCase statusOnly(const QByteArray& statusLine) {
    HostileCase c;
    c.flags = {QStringLiteral("--no-server-name")};
    c.script = test::answerEachRequest([=](const QByteArray&) { return statusLine + "\r\n\r\n"; });
    return c;
}

// ---- TLS --------------------------------------------------------------------------------------

HostileRow tlsGarbageRow(const char* name, QByteArray garbage, QString errorLine) {
    return {name, [=](std::mt19937_64&) {
                auto tls = std::make_shared<test::OpenSSLServer>();
                HostileCase c;
                c.peers = tls;
                c.scheme = QStringLiteral("https");
                c.script = [tls, garbage](ScriptedConnection& connection) {
                    if (test::relayHandshakeThenReply(connection, tls->port(), garbage))
                        connection.waitForClientClose(kRunLimitMs);
                };
                c.errorLine = errorLine;
                return c;
            }};
}

std::vector<HostileRow> hostileRows() {
    const QByteArray longName(16000, 'n');
    return {
        {"reset_in_the_head_of_the_head_reply", resetInTheHeadOfTheHeadReply, 4},
        {"reset_in_the_head_of_the_get_reply", resetInTheHeadOfTheGetReply, 4},
        {"reset_in_the_body", resetInTheBody, 4},
        {"reset_in_a_chunked_body", resetInAChunkedBody, 3},
        {"stall_in_the_head", stallInTheHead},
        {"stall_in_the_body", stallInTheBody},
        {"drip_of_headers_one_byte_per_second", dripOfHeaders},
        {"header_line_of_100_mb", headerLineOf100MB},
        {"a_million_headers", aMillionHeaders},
        {"endless_chunked_body_under_a_small_content_length", endlessChunkedBodyUnderASmallLength},
        chunkSizeRow("chunk_size_of_2_to_the_64", "10000000000000000"),
        chunkSizeRow("chunk_size_of_40_hex_digits", QByteArray(40, 'f')),
        {"gzip_invalid_after_1_mb", gzipInvalidAfter1MB},
        {"gzip_bomb_on_a_small_disk", gzipBombOnASmallDisk},
        proposedNameRow("proposed_name_with_a_carriage_return", "attachment; filename=\"a\rb.txt\"",
                        QStringLiteral("a b.txt")),
        proposedNameRow("proposed_name_cut_by_a_line_break", "attachment; filename=\"a\r\nb.txt\"",
                        QStringLiteral("a")),
        proposedNameRow("proposed_name_with_a_nul", QByteArray("attachment; filename=\"a\0b.txt\"", 31),
                        QStringLiteral("a b.txt")),
        proposedNameRow("proposed_name_that_is_dot_dot", "attachment; filename=\"..\"",
                        QStringLiteral("f.bin")),
        proposedNameRow("proposed_name_climbing_with_dot_dot", "attachment; filename=\"../../x.txt\"",
                        QStringLiteral(".. .. x.txt")),
        proposedNameRow("proposed_name_that_is_an_absolute_path", "attachment; filename=\"/etc/passwd\"",
                        QStringLiteral("etc passwd")),
        proposedNameRow("proposed_name_of_16000_bytes", "attachment; filename=\"" + longName + "\"",
                        QString::fromLatin1(longName.left(200))),
        oversizedHeaderRow("proposed_name_of_64_kb", "Content-Disposition: attachment; filename=\"" +
                                                         QByteArray(64 * 1024, 'n') + "\""),
        redirectRow("location_with_a_carriage_return", "/next\rX-Injected: yes",
                    QStringLiteral("/next X-Injected: yes")),
        redirectRow("location_with_a_nul", QByteArray("/a\0b", 4), QStringLiteral("/a\uFFFDb")),
        redirectRow("location_with_a_terminal_escape", "/x\x1b]0;owned\x07\x1b[2J",
                    QStringLiteral("/x\uFFFD]0;owned\uFFFD\uFFFD[2J")),
        redirectRow("location_climbing_with_dot_dot", "/../../../etc/passwd",
                    QStringLiteral("/../../../etc/passwd")),
        oversizedHeaderRow("location_of_64_kb", "Location: /" + QByteArray(64 * 1024, 'l')),
        {"redirect_chain_to_ftp", redirectChainToFtp},
        {"redirect_to_a_file_url",
         [](std::mt19937_64&) {
             HostileCase c;
             c.script = test::answerEachRequest([](const QByteArray&) {
                 return QByteArray(
                     "HTTP/1.1 302 Found\r\nLocation: file:///etc/passwd\r\nContent-Length: 0\r\n\r\n");
             });
             c.errorLine = QStringLiteral("(ERROR) Unknown Protocol URL: {url}");
             return c;
         }},
        {"resume_answered_with_a_range_that_leaves_a_gap",
         [](std::mt19937_64&) {
             HostileCase c = resumeAnsweredWithRange(8000, kBodySize - 1);
             c.errorLine = QStringLiteral(
                 "(ERROR) The server sent a range that does not continue the partial file. URL: {url}");
             c.files = {exactly(QStringLiteral("f.bin.part"), body().left(kPartialSize))};
             return c;
         }},
        {"resume_answered_with_a_range_that_stops_short",
         [](std::mt19937_64&) {
             HostileCase c = resumeAnsweredWithRange(kPartialSize - 1024, 9999);
             c.errorLine = QStringLiteral(
                 "(ERROR) The server sent a range that does not reach the end of the file. URL: {url}");
             c.files = {exactly(QStringLiteral("f.bin.part"), body().left(10000))};
             return c;
         }},
        {"partial_content_to_a_plain_get",
         [](std::mt19937_64&) {
             HostileCase c;
             c.flags = {QStringLiteral("--no-server-name")};
             c.script = test::answerEachRequest([](const QByteArray&) {
                 return "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 100-199/" + number(kBodySize) +
                        "\r\nContent-Length: 100\r\n\r\n" + body().mid(100, 100);
             });
             c.errorLine = QStringLiteral(
                 "(ERROR) The server sent a range that does not continue the partial file. URL: {url}");
             return c;
         }},
        {"resume_answered_with_a_range_from_the_start",
         [](std::mt19937_64&) {
             HostileCase c = resumeAnsweredWithRange(0, kBodySize - 1);
             c.downloadLine = kDownloaded;
             c.files = {exactly(QStringLiteral("f.bin"), body())};
             return c;
         }},
        {"not_modified_to_a_plain_get",
         [](std::mt19937_64&) {
             HostileCase c = statusOnly("HTTP/1.1 304 Not Modified");
             c.errorLine = QStringLiteral("(ERROR) HTTP/1.1 304 Not Modified URL: {url}");
             return c;
         }},
        {"no_content_to_a_plain_get",
         [](std::mt19937_64&) {
             HostileCase c = statusOnly("HTTP/1.1 204 No Content");
             c.downloadLine = kDownloaded;
             c.errorLine = QStringLiteral("(ERROR) Empty file! (Tried 3 times) URL: {url}");
             c.files = {exactly(QStringLiteral("f.bin"), {})};
             return c;
         }},
        tlsGarbageRow("tls_server_sending_plain_text_after_the_handshake", "HTTP/1.1 200 OK\r\n\r\n",
                      QStringLiteral("(ERROR) error:0A00010B:SSL routines::wrong version number URL: {url}")),
        tlsGarbageRow(
            "tls_server_sending_a_forged_record_after_the_handshake",
            QByteArray("\x17\x03\x03\x00\x40", 5) + test::patternedBytes(64),
            QStringLiteral("(ERROR) error:1C800066:Provider routines::cipher operation failed URL: {url}")),
    };
}

quint64 hostileSeed() {
    const char* text = std::getenv("HOSTILE_SEED");
    return text && *text ? std::strtoull(text, nullptr, 10) : std::random_device{}();
}

// A file's text, and the lines expected in it, each with its line end; control characters show as
// escapes in a failure message.
QString text(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString linesOf(const QString& line) {
    return line.isEmpty() ? QString() : line + QLatin1Char('\n');
}

std::string shown(const QString& text) {
    std::ostringstream out;
    PrintTo(text.toUtf8(), &out);
    return out.str();
}

class HostileServer : public testing::TestWithParam<HostileRow> {
protected:
    void run(HostileCase& c) {
        test::TempDir scratch;
        std::unique_ptr<test::TmpfsMount> disk;
        QString folder = scratch.file(QStringLiteral("downloads"));
        if (c.smallDisk) {
            disk = std::make_unique<test::TmpfsMount>(kSmallDiskBytes);
            if (!disk->mounted()) {
                skipped_ = disk->error();
                return;
            }
            folder = disk->path() + QStringLiteral("/downloads");
            QFile sentinel(disk->path() + QLatin1Char('/') + kSentinel);
            ASSERT_TRUE(sentinel.open(QIODevice::WriteOnly));
            sentinel.write(body().left(4096));
        }
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const auto& [name, bytes] : c.before) {
            QFile file(folder + QLatin1Char('/') + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }

        test::ScriptedServer server(c.script);
        const QString url = QStringLiteral("%1://127.0.0.1:%2/f.bin").arg(c.scheme).arg(server.port());
        test::SpawnedProcess cli(test::cliProgram(),
                                 QStringList{QStringLiteral("-d"), folder} + c.flags + QStringList{url},
                                 scratch.file(QStringLiteral("out")), scratch.file(QStringLiteral("err")));
        std::optional<test::ProcessOutcome> outcome = cli.waitFor(kRunLimitMs);
        if (!outcome) {
            cli.kill();
            FAIL() << "the run did not end within " << kRunLimitMs << " ms";
        }
        std::printf("%s: peak RSS %ld KB\n", GetParam().name, outcome->peakRssKb);
        peakRssKb_ = std::max(peakRssKb_, outcome->peakRssKb);
        EXPECT_LT(outcome->peakRssKb, kMemoryBoundKb);

        const auto expand = [&](QString line) {
            return line.replace(QLatin1String("{url}"), url).replace(QLatin1String("{folder}"), folder);
        };
        EXPECT_EQ(shown(text(scratch.file(QStringLiteral("out")))), shown(linesOf(expand(c.downloadLine))));
        EXPECT_EQ(shown(text(scratch.file(QStringLiteral("err")))), shown(linesOf(expand(c.errorLine))));
        EXPECT_TRUE(outcome->exited);
        EXPECT_EQ(outcome->exitCode, c.errorLine.isEmpty() ? 0 : 1);

        QStringList expectedNames;
        for (const ExpectedFile& file : c.files)
            expectedNames.append(file.name);
        expectedNames.sort();
        EXPECT_EQ(
            shown(QDir(folder)
                      .entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)
                      .join(QLatin1Char('/'))),
            shown(expectedNames.join(QLatin1Char('/'))));
        for (const ExpectedFile& file : c.files) {
            QFile found(folder + QLatin1Char('/') + file.name);
            EXPECT_TRUE(found.open(QIODevice::ReadOnly) && file.holds(found.readAll()))
                << file.name.toStdString() << " should hold " << file.what.toStdString() << ", holds "
                << found.size() << " bytes";
        }
        if (disk) {
            // Nothing beside the download folder was touched.
            EXPECT_EQ(QDir(disk->path())
                          .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                      (QStringList{QStringLiteral("downloads"), kSentinel}))
                << "the download touched the disk beyond its folder";
            QFile sentinel(disk->path() + QLatin1Char('/') + kSentinel);
            EXPECT_TRUE(sentinel.open(QIODevice::ReadOnly) && sentinel.readAll() == body().left(4096));
        }
        if (c.serverCheck) {
            server.waitIdle();
            const QString complaint = c.serverCheck(server);
            EXPECT_TRUE(complaint.isEmpty()) << complaint.toStdString();
        }
    }

    QString skipped_;
    long peakRssKb_ = 0;
};

TEST_P(HostileServer, OneClearLineAndOnlyTheExpectedFiles) {
    const quint64 seed = hostileSeed();
    std::printf("HOSTILE_SEED=%llu\n", static_cast<unsigned long long>(seed));
    std::mt19937_64 random(seed);
    for (int i = 0; i < GetParam().draws && !HasFailure(); ++i) {
        HostileCase c = GetParam().make(random);
        SCOPED_TRACE(testing::Message() << "draw " << i << " of seed " << seed);
        run(c);
        if (!skipped_.isEmpty()) GTEST_SKIP() << skipped_.toStdString();
    }
    RecordProperty("peak_rss_kb", std::to_string(peakRssKb_));
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileServer, testing::ValuesIn(hostileRows()),
                         [](const testing::TestParamInfo<HostileRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace hl
