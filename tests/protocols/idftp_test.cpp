#include "buildinfo.h"
#include "platform/streams.h"
#include "protocols/httpconnecttunnel.h"
#include "protocols/idexceptions.h"
#include "protocols/idftp.h"
#include "support/anonymousftp.h"
#include "support/loopbacksocket.h"
#include "support/scriptedftp.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using test::commandLines;
using test::FtpScript;
using test::pasvReply;
using test::ScriptedConnection;
using test::ScriptedFtpServer;
using test::ScriptedServer;
using test::sendData;
using Commands = QList<QByteArray>;

constexpr quint32 kLoopback = 0x7F000001u;

// A client set up the way the download procedure sets it.
void configure(TIdFTP& ftp, quint16 port, const QString& host = QStringLiteral("127.0.0.1")) {
    test::configureAnonymousFtp(ftp, host, port, 2000);
}

const Commands kStart = {"HOST 127.0.0.1", "USER anonymous", "PASS freeguest", "FEAT",
                         "TYPE I",         "SYST",           "TYPE I"};

// The message of the exception a call throws, or "(no error)".
template <typename Call> QString errorOf(Call call) {
    try {
        call();
    } catch (const Exception& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

TEST(IdFtp, FreshAndResumedDownloadsSendTheExpectedCommands) {
    for (const qint64 offset : {0, 1000}) {
        SCOPED_TRACE(offset);
        ScriptedFtpServer server({.replies = {{"SIZE", "213 11"}}}, sendData("hello world"));
        TMemoryStream out;
        out.Write(QByteArray(offset, 'x'));
        int begins = 0, ends = 0;
        std::vector<qint64> counts;
        {
            TIdFTP ftp;
            configure(ftp, server.port());
            ftp.OnWorkBegin = [&](TWorkMode mode, qint64 maximum) {
                EXPECT_EQ(mode, wmRead);
                ++begins;
                EXPECT_EQ(maximum, 0);
            };
            ftp.OnWork = [&](TWorkMode, qint64 count) { counts.push_back(count); };
            ftp.OnWorkEnd = [&](TWorkMode) { ++ends; };
            ftp.Connect();
            EXPECT_TRUE(ftp.ResumeSupported());
            EXPECT_EQ(ftp.Size(QStringLiteral("/pub/file.zip")), 11);
            ftp.Get(QStringLiteral("/pub/file.zip"), out, offset > 0);
        }
        Commands expected = kStart + Commands{"REST 1", "REST 0", "SIZE /pub/file.zip", "PASV"};
        if (offset > 0) expected += "REST 1000";
        expected += Commands{"RETR /pub/file.zip", "QUIT"};
        EXPECT_EQ(server.commands(), expected);
        EXPECT_EQ(out.Data(), QByteArray(offset, 'x') + "hello world");
        // Work counts data bytes of this transfer only: no control replies, no resume offset.
        EXPECT_EQ(begins, 1);
        EXPECT_EQ(ends, 1);
        ASSERT_FALSE(counts.empty());
        EXPECT_EQ(counts.back(), 11);
    }
}

TEST(IdFtp, ConnectionStartOutcomes) {
    const struct {
        const char* name;
        FtpScript script;
        const char* error; // nullptr: logged in
        bool serviceNotAvailable;
    } cases[] = {
        {"120 then 220", {.greeting = "120 Wait a moment.\r\n220 Ready."}, nullptr, false},
        {"multi-line greeting", {.greeting = "220-Welcome\r\n to the archive\r\n220 Ready."}, nullptr, false},
        {"USER alone logs in", {.replies = {{"USER", "230 Welcome."}}}, nullptr, false},
        {"greeting 421", {.greeting = "421 Too many users."}, "Too many users.\r\n", true},
        {"greeting refused", {.greeting = "530 Not for you."}, "Not for you.\r\n", false},
        {"120 then not 220", {.greeting = "120 Wait.\r\n500 Broken."}, "Broken.\r\n", false},
        {"USER refused",
         {.replies = {{"USER", "530-Anonymous\r\n530 not allowed."}}},
         "Anonymous\r\nnot allowed.\r\n",
         false},
        {"account needed", {.replies = {{"PASS", "332 Need account."}}}, "Need account.\r\n", false},
        {"TYPE refused",
         {.replies = {{"TYPE", "504 Type not implemented."}}},
         "Type not implemented.\r\n",
         false},
        {"421 to USER", {.replies = {{"USER", "421 Closing."}}}, "Closing.\r\n", true},
        {"421 to SYST", {.replies = {{"SYST", "421 Closing."}}}, "Closing.\r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedFtpServer server(c.script, sendData({}));
        TIdFTP ftp;
        configure(ftp, server.port());
        bool serviceNotAvailable = false;
        const QString error = errorOf([&] {
            try {
                ftp.Connect();
            } catch (const EIdFTPServiceNotAvailable&) {
                serviceNotAvailable = true;
                throw;
            }
        });
        EXPECT_EQ(error, c.error ? QString::fromLatin1(c.error) : QStringLiteral("(no error)"));
        EXPECT_EQ(serviceNotAvailable, c.serviceNotAvailable);
        EXPECT_EQ(ftp.Connected(), !c.serviceNotAvailable);
    }
}

TEST(IdFtp, GreetingTextIsKept) {
    ScriptedFtpServer server({.greeting = "220-Welcome\r\n to the archive\r\n220 Ready."}, sendData({}));
    TIdFTP ftp;
    configure(ftp, server.port());
    ftp.Connect();
    EXPECT_EQ(ftp.Greeting().code, 220);
    EXPECT_EQ(ftp.Greeting().text, QStringList({"Welcome", "to the archive", "Ready."}));
}

TEST(IdFtp, ServerThatHangsUpAfterHostIsReconnectedWithoutHost) {
    for (const QByteArray& hostReply : {QByteArray("<close>"), QByteArray("421 Unknown command, bye.")}) {
        SCOPED_TRACE(hostReply.toStdString());
        ScriptedFtpServer server({.replies = {{"HOST", hostReply}}}, sendData({}));
        {
            TIdFTP ftp;
            configure(ftp, server.port());
            ftp.Connect();
        }
        ASSERT_EQ(server.connectionCount(), 2);
        EXPECT_EQ(server.commands(0).value(0), "HOST 127.0.0.1");
        EXPECT_EQ(server.commands(1), kStart.mid(1) + Commands{"QUIT"});
    }
}

TEST(IdFtp, FeaturesChooseIdentificationUtf8AndPret) {
    const QByteArray version = HARVESTLINE_VERSION_TEXT;
    const QByteArray latin1Path = "SIZE /caf\xe9";
    const QByteArray utf8Path = "SIZE /caf\xc3\xa9";
    const struct {
        const char* name;
        QByteArray feat;
        std::map<QByteArray, QByteArray> extra;
        Commands afterType; // between FEAT and the first TYPE
        QByteArray sizeCommand;
        bool pret;
    } cases[] = {
        {"CSID wins over CLNT; UTF8 on",
         "211-Features:\r\n CSID\r\n CLNT\r\n UTF8\r\n PRET\r\n211 End",
         {{"OPTS", "200 UTF8 set to on"}},
         {"CSID Name=Harvestline; Version=" + version + ";", "OPTS UTF8 ON"},
         utf8Path,
         true},
        {"CLNT; UTF8 through the second form",
         "211-Features:\r\n CLNT\r\n UTF8\r\n211 End",
         {{"OPTS UTF8 ON", "501 Not understood"}, {"OPTS UTF-8 NLST", "200 OK"}},
         {"CLNT Harvestline " + version, "OPTS UTF8 ON", "OPTS UTF-8 NLST"},
         utf8Path,
         false},
        {"UTF8 refused both ways",
         "211-Features:\r\n UTF8\r\n211 End",
         {{"OPTS", "501 Not understood"}},
         {"OPTS UTF8 ON", "OPTS UTF-8 NLST"},
         latin1Path,
         false},
        {"no features", "500 FEAT not understood", {}, {}, latin1Path, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FtpScript script{.replies = c.extra};
        script.replies["FEAT"] = c.feat;
        ScriptedFtpServer server(script, sendData("x"));
        {
            TIdFTP ftp;
            configure(ftp, server.port());
            ftp.Connect();
            ftp.Size(QStringLiteral("/café"));
            TMemoryStream out;
            ftp.Get(QStringLiteral("/café"), out, false);
        }
        Commands expected =
            kStart.mid(0, 4) + c.afterType + Commands{"TYPE I"} + Commands{"SYST", "TYPE I", c.sizeCommand};
        if (c.pret) expected += "PRET RETR /caf\xc3\xa9";
        expected += Commands{"PASV", "RETR " + c.sizeCommand.mid(5), "QUIT"};
        EXPECT_EQ(server.commands(), expected);
    }
}

TEST(IdFtp, PathFromBytesPutsExactlyTheseBytesOnTheWire) {
    const QByteArray utf8Features = "211-Features:\r\n UTF8\r\n211 End";
    const QByteArray noFeatures = "500 FEAT not understood";
    const QByteArray utf8Name = "/caf\xc3\xa9 x";
    const QByteArray latin1Name = "/caf\xe9 x";
    const struct {
        const char* name;
        QByteArray feat;
        QByteArray bytes;
        const char* error; // nullptr: sent as they are
    } cases[] = {
        {"UTF-8 name to a UTF-8 server", utf8Features, utf8Name, nullptr},
        {"UTF-8 name to an 8-bit server", noFeatures, utf8Name, nullptr},
        {"Latin-1 name to an 8-bit server", noFeatures, latin1Name, nullptr},
        {"Latin-1 name to a UTF-8 server", utf8Features, latin1Name,
         "The path is not valid UTF-8, which the server expects."},
        {"NUL", noFeatures, QByteArray("/a\0b", 4), "NUL character in an FTP command."},
        {"line break", utf8Features, "/a\r\nDELE /b", "Line break in an FTP command."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedFtpServer server({.replies = {{"FEAT", c.feat}, {"OPTS", "200 UTF8 set to on"}}},
                                 sendData({}));
        {
            TIdFTP ftp;
            configure(ftp, server.port());
            ftp.Connect();
            const QString error = errorOf([&] { ftp.Size(ftp.PathFromBytes(c.bytes)); });
            EXPECT_EQ(error, c.error ? QString::fromLatin1(c.error) : QStringLiteral("(no error)"));
        }
        // A refused path never reaches the server, not even in part.
        const Commands afterLogin = server.commands().mid(server.commands().indexOf("SYST") + 2);
        EXPECT_EQ(afterLogin, c.error ? Commands{"QUIT"} : (Commands{"SIZE " + c.bytes, "QUIT"}));
    }
}

TEST(IdFtp, RefusedSizeIsMinusOneAndAsciiModeSwitchesAroundIt) {
    ScriptedFtpServer server({.replies = {{"SIZE", "550 No such file."}}}, sendData({}));
    {
        TIdFTP ftp;
        configure(ftp, server.port());
        ftp.TransferType = TIdFTPTransferType::ftASCII;
        ftp.Connect();
        EXPECT_EQ(ftp.Size(QStringLiteral("/missing")), -1);
        EXPECT_TRUE(ftp.Connected());
    }
    EXPECT_EQ(server.commands().mid(7), Commands({"TYPE I", "SIZE /missing", "TYPE A", "QUIT"}));
}

TEST(IdFtp, RetrAnswered450EndsWithoutDataOrError) {
    ScriptedFtpServer server({.replies = {{"RETR", "450 File busy."}, {"SIZE", "213 5"}}}, sendData("never"));
    TMemoryStream out;
    out.Write("keep");
    int events = 0;
    {
        TIdFTP ftp;
        configure(ftp, server.port());
        ftp.OnWorkBegin = [&](TWorkMode, qint64) { ++events; };
        ftp.OnWork = [&](TWorkMode, qint64) { ++events; };
        ftp.Connect();
        ftp.Get(QStringLiteral("/f"), out, false);
        // No final reply is awaited after 450: the next exchange is in step.
        EXPECT_EQ(ftp.Size(QStringLiteral("/f")), 5);
    }
    EXPECT_EQ(out.Data(), "keep");
    EXPECT_EQ(events, 0);
    EXPECT_EQ(server.commands().mid(7), Commands({"PASV", "RETR /f", "SIZE /f", "QUIT"}));
}

TEST(IdFtp, TransferFailuresCarryTheServerText) {
    const test::ClosedPort closed;
    const quint16 closedPort = closed.port();
    const struct {
        const char* name;
        std::map<QByteArray, QByteArray> replies;
        bool resume;
        const char* error;
        const char* path = "/f";
    } cases[] = {
        {"RETR refused", {{"RETR", "550 No such file."}}, false, "No such file.\r\n"},
        {"final reply refused",
         {{"RETR", "150 Opening.\r\n426 Connection closed; transfer aborted."}},
         false,
         "Connection closed; transfer aborted.\r\n"},
        {"PASV refused",
         {{"PASV", "425 Cannot open passive connection."}},
         false,
         "Cannot open passive connection.\r\n"},
        {"PASV unreadable",
         {{"PASV", "227 Entering Passive Mode"}},
         false,
         "Invalid passive mode reply: Entering Passive Mode"},
        {"REST refused on resume", {{"REST 5", "501 Bad offset."}}, true, "Bad offset.\r\n"},
        {"data port closed",
         {{"PASV", pasvReply(kLoopback, closedPort)}},
         false,
         "Socket Error # 10061\r\nConnection refused."},
        {"line break in the path", {}, false, "Line break in an FTP command.", "/a\r\nDELE /b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedFtpServer server({.replies = c.replies}, sendData("12345"));
        TIdFTP ftp;
        configure(ftp, server.port());
        ftp.Connect();
        TMemoryStream out;
        out.Write("abcde");
        EXPECT_EQ(errorOf([&] { ftp.Get(QString::fromLatin1(c.path), out, c.resume); }),
                  QString::fromLatin1(c.error));
        ftp.Disconnect();
        EXPECT_FALSE(server.commands().contains("DELE /b"));
    }
}

// The transfer stops from the progress handler; the ABOR replies are read whatever mix of them the
// server sends, and the session stays in step for the next command.
TEST(IdFtp, AbortFromTheProgressHandler) {
    const struct {
        QByteArray aborReplies;
        const char* error;
    } cases[] = {
        {"426 Transfer aborted.\r\n226 Abort successful.", nullptr},
        {"225 No transfer to abort.", nullptr},
        {"226 Transfer complete.\r\n225 ABOR command successful.", nullptr},
        {"226 Transfer complete.\r\n226 ABOR command successful.\r\n426 Late news.", nullptr},
        {"500 What?", "What?\r\n"},
    };
    const QByteArray payload(2 * TIdFTP::kDataBlockSize, 'd');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.aborReplies.toStdString());
        ScriptedFtpServer server(
            {.replies = {{"RETR", "150 Opening."}, {"ABOR", c.aborReplies}, {"SIZE", "213 7"}}},
            [&](ScriptedConnection& data) {
                data.send(payload);
                data.waitForClientClose(5000);
            });
        TIdFTP ftp;
        configure(ftp, server.port());
        ftp.OnWork = [&](TWorkMode, qint64) { ftp.Abort(); };
        ftp.Connect();
        TMemoryStream out;
        EXPECT_EQ(errorOf([&] { ftp.Get(QStringLiteral("/big"), out, false); }),
                  c.error ? QString::fromLatin1(c.error) : QStringLiteral("(no error)"));
        EXPECT_GT(out.Size(), 0);
        EXPECT_LE(out.Size(), TIdFTP::kDataBlockSize);
        if (c.error) continue;
        EXPECT_EQ(ftp.Size(QStringLiteral("/big")), 7);
        ftp.Disconnect();
        EXPECT_EQ(server.commands().mid(7), Commands({"PASV", "RETR /big", "ABOR", "SIZE /big", "QUIT"}));
    }
}

TEST(IdFtp, StopRequestEndsATransferFromASilentServer) {
    ScriptedFtpServer server({.replies = {{"RETR", "150 Opening."}, {"ABOR", "426 Aborted.\r\n226 Done."}}},
                             [](ScriptedConnection& data) {
                                 data.send("abc");
                                 data.waitForClientClose(5000);
                             });
    TMemoryStream out;
    int checks = 0;
    {
        TIdFTP ftp;
        configure(ftp, server.port());
        ftp.ShouldAbort = [&] { return ++checks >= 2 && out.Size() > 0; };
        ftp.Connect();
        ftp.Get(QStringLiteral("/stalled"), out, false);
    }
    EXPECT_EQ(out.Data(), "abc");
    EXPECT_TRUE(server.commands().contains("ABOR"));
}

TEST(IdFtp, SilentDataConnectionTimesOutWithTransferTimeout) {
    ScriptedFtpServer server({.replies = {{"RETR", "150 Opening."}}}, [](ScriptedConnection& data) {
        data.send("abc");
        data.waitForClientClose(5000);
    });
    TIdFTP ftp;
    configure(ftp, server.port());
    ftp.TransferTimeout = 200;
    int ends = 0;
    ftp.OnWorkEnd = [&](TWorkMode) { ++ends; };
    ftp.Connect();
    TMemoryStream out;
    EXPECT_THROW(ftp.Get(QStringLiteral("/stalled"), out, false), EIdReadTimeout);
    EXPECT_EQ(out.Data(), "abc");
    EXPECT_EQ(ends, 1);
}

TEST(IdFtp, SilentServerFailsTheReplyWithReadTimeout) {
    ScriptedServer server([](ScriptedConnection& c) { c.waitForClientClose(5000); });
    TIdFTP ftp;
    configure(ftp, server.port());
    ftp.ReadTimeout = 200;
    EXPECT_EQ(errorOf([&] { ftp.Connect(); }), "Read timed out.");
}

// Stands in for a proxy: records where each connection was meant to go and carries it to one
// loopback server, so a "public" FTP server can be played on 127.0.0.1.
class RecordingTunnel final : public ConnectionTunnel {
public:
    using Targets = std::vector<std::pair<QString, quint16>>;
    RecordingTunnel(quint16 serverPort, std::shared_ptr<Targets> targets)
        : serverPort_(serverPort), targets_(std::move(targets)) {}
    std::unique_ptr<ConnectionTunnel> clone() const override {
        return std::make_unique<RecordingTunnel>(*this);
    }
    bool enabled() const override { return true; }
    QString serverHost() const override { return QStringLiteral("127.0.0.1"); }
    quint16 serverPort() const override { return serverPort_; }
    void handshake(TIdIOHandlerSocket&, const QString& host, quint16 port) override {
        targets_->emplace_back(host, port);
    }

private:
    quint16 serverPort_;
    std::shared_ptr<Targets> targets_;
};

// Downloads /f from host port 21 through a RecordingTunnel to a scripted server whose data
// connections send "payload"; returns the targets the tunnel was asked for (control, then data).
RecordingTunnel::Targets tunneledGet(const FtpScript& script, const QString& host) {
    ScriptedServer server([&](ScriptedConnection& connection) {
        if (connection.index() == 0)
            test::serveFtpSession(connection, script, 0);
        else
            connection.send("payload");
    });
    auto targets = std::make_shared<RecordingTunnel::Targets>();
    RecordingTunnel tunnel(server.port(), targets);
    TMemoryStream out;
    {
        TIdFTP ftp;
        configure(ftp, 21, host);
        ftp.SetTransparentProxy(&tunnel);
        ftp.Connect();
        ftp.Get(QStringLiteral("/f"), out, false);
    }
    EXPECT_EQ(out.Data(), "payload");
    return *targets;
}

TEST(IdFtp, PrivatePassiveAddressFromAPublicServerIsReplacedByTheServer) {
    const struct {
        QByteArray pasv;
        QString dataHost;
    } cases[] = {
        {"227 Entering Passive Mode (192,168,0,5,19,137)", QStringLiteral("203.0.113.5")},
        {"227 Entering Passive Mode (198,51,100,7,19,137)", QStringLiteral("198.51.100.7")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pasv.toStdString());
        const RecordingTunnel::Targets targets =
            tunneledGet({.replies = {{"PASV", c.pasv}}}, QStringLiteral("203.0.113.5"));
        ASSERT_EQ(targets.size(), 2u);
        EXPECT_EQ(targets[0], std::make_pair(QStringLiteral("203.0.113.5"), quint16(21)));
        EXPECT_EQ(targets[1], std::make_pair(c.dataHost, quint16(5001)));
    }
}

// PASV can only name an IPv4 address: a server reached over IPv6 is asked with EPSV, and the data
// connection goes to the server the control connection reached, directly or through a tunnel.
TEST(IdFtp, ServerReachedOverIPv6IsAskedForItsDataPortWithEpsv) {
    if (!test::ipv6LoopbackAvailable()) GTEST_SKIP() << "no IPv6 on the loopback interface";
    {
        ScriptedFtpServer server({}, sendData("payload"), test::kLoopbackIPv6);
        TMemoryStream out;
        {
            TIdFTP ftp;
            configure(ftp, server.port(), QStringLiteral("::1"));
            ftp.Connect();
            ftp.Get(QStringLiteral("/f"), out, false);
        }
        EXPECT_EQ(out.Data(), "payload");
        const Commands commands = server.commands();
        EXPECT_EQ(commands.first(), "HOST [::1]");
        EXPECT_TRUE(commands.contains("EPSV"));
        EXPECT_FALSE(commands.contains("PASV"));
    }
    const RecordingTunnel::Targets targets =
        tunneledGet({.replies = {{"EPSV", test::epsvReply(5001)}}}, QStringLiteral("2001:db8::5"));
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[1], std::make_pair(QStringLiteral("2001:db8::5"), quint16(5001)));
}

// FTP through an HTTP proxy: one CONNECT for the control connection and one for each data
// connection; a refusal carries the proxy's status line, and a proxy that never answers the data
// CONNECT fails like a silent control reply, although data itself may wait without limit.
TEST(IdFtp, HttpProxyTunnelCarriesControlAndDataConnections) {
    const struct {
        QByteArray dataAnswer;
        const char* error;
    } cases[] = {
        {"HTTP/1.1 200 Connection established\r\n\r\n", nullptr},
        {"HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n", "HTTP/1.1 403 Forbidden"},
        {"", "Read timed out."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dataAnswer.toStdString());
        const FtpScript script{.replies = {{"PASV", pasvReply(kLoopback, 5001)}}};
        ScriptedServer proxy([&](ScriptedConnection& connection) {
            connection.readHead();
            if (connection.index() == 0) {
                connection.send("HTTP/1.0 200 Connection established\r\nProxy-Agent: scripted\r\n\r\n");
                test::serveFtpSession(connection, script, 0);
            } else if (c.dataAnswer.isEmpty()) {
                connection.waitForClientClose(5000);
            } else {
                connection.send(c.dataAnswer + "payload");
            }
        });
        HttpConnectTunnel tunnel;
        tunnel.Host = QStringLiteral("127.0.0.1");
        tunnel.Port = proxy.port();
        TMemoryStream out;
        QString error = QStringLiteral("(no error)");
        {
            TIdFTP ftp;
            configure(ftp, 2121);
            ftp.ReadTimeout = 300;
            ftp.SetTransparentProxy(&tunnel);
            ftp.Connect();
            error = errorOf([&] { ftp.Get(QStringLiteral("/f"), out, false); });
        }
        EXPECT_EQ(error, c.error ? QString::fromLatin1(c.error) : QStringLiteral("(no error)"));
        EXPECT_EQ(out.Data(), c.error ? QByteArray() : QByteArray("payload"));
        proxy.waitForScripts(2);
        const auto received = proxy.received();
        ASSERT_EQ(received.size(), 2u);
        EXPECT_EQ(test::requestLine(received[0]), "CONNECT 127.0.0.1:2121 HTTP/1.1");
        EXPECT_EQ(test::requestLine(received[1]), "CONNECT 127.0.0.1:5001 HTTP/1.1");
    }
}

} // namespace
} // namespace hl
