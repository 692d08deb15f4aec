#pragma once
// The FTP client (RFC 959 with the SIZE and REST extensions of RFC 3659) that fetches one file per
// ftp URL: connection start with log-in, resume test, SIZE, and passive-mode downloads into a
// stream (PASV, or EPSV when the server is reached over IPv6).
//
// One client belongs to one thread; every call blocks on that thread. The control connection and
// every data connection run on their own TIdIOHandlerSocket, both through the same tunnel (SOCKS,
// HTTP CONNECT) when one is set. Every failure is an exception from idexceptions.h whose message
// goes verbatim into the download logs. Destroying the client ends the session with QUIT.
#include "protocols/connectiontunnel.h"
#include "protocols/ftppassive.h"
#include "protocols/ftpreply.h"
#include "protocols/hostresolver.h"
#include "protocols/idwork.h"
#include "protocols/iohandlersocket.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

namespace hl {

class TStream;

enum class TIdFTPTransferType { ftASCII, ftBinary };

class TIdFTP {
public:
    static constexpr quint16 kDefaultPort = 21;
    // How often a silent data connection asks ShouldAbort.
    static constexpr int kIdleCheckMs = 100;
    // Data is read in blocks of up to this size: large enough that a fast transfer costs few calls
    // (and few work events, each of which may wait for the window).
    static constexpr int kDataBlockSize = 256 * 1024;

    TIdFTP();
    // Disconnects (QUIT); never throws.
    ~TIdFTP();
    TIdFTP(const TIdFTP&) = delete;
    TIdFTP& operator=(const TIdFTP&) = delete;

    QString Host;
    quint16 Port = kDefaultPort;
    QString Username;
    QString Password;
    // Limit for opening the control and each data connection (ms; 0 or -1: no limit).
    int ConnectTimeout = 0;
    // Limit for each reply line on the control connection (ms; 0 or -1: no limit).
    int ReadTimeout = 60000;
    // Limit for each wait for data bytes on the data connection (ms; 0 or -1: no limit).
    int TransferTimeout = 0;
    TIdFTPTransferType TransferType = TIdFTPTransferType::ftASCII;
    // Send HOST after the greeting (a server that closes in answer is reconnected without it).
    bool UseHOST = true;
    std::shared_ptr<const HostResolver> Resolver;
    // How long one connection attempt runs before the next address of the host is tried beside
    // it (ms; happyeyeballs.h), for the control and every data connection.
    int ConnectionAttemptDelay = kConnectionAttemptDelayMs;

    // Tunnel for the control connection and every data connection; each keeps a private copy.
    // Set before Connect. nullptr: connect directly.
    void SetTransparentProxy(const ConnectionTunnel* tunnel);

    // Free for the caller (the download engine keeps its transfer slot here).
    qint64 Tag = 0;

    // Progress of a download (wmRead), called on the calling thread while Get reads data: a begin
    // with 0 when reading starts, the total of data bytes received in this Get (the resume offset
    // not included) after each block is written, an end when the data connection closes (also on
    // errors). Control replies produce no events. OnWork may call Abort.
    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;
    // Asked every kIdleCheckMs while the data connection is silent; true aborts the transfer as
    // Abort does. Lets a stop request end a download from a server that stopped sending. Until a
    // transfer is aborted it is also asked while the client waits for the server otherwise
    // (connecting, a reply, a data connection); true then ends the call with EIdOperationAborted.
    std::function<bool()> ShouldAbort;

    // Connects, reads the greeting, sends HOST, logs in, reads the features and sets the transfer
    // type. Throws on any failure; the connection may then still be open (Disconnect closes it).
    void Connect();
    bool Connected() const { return control_.Connected(); }
    // Whether the server accepts REST: asked once per client (REST 1, then REST 0), then remembered.
    bool ResumeSupported();
    // The size SIZE reports, or -1 when the server refuses or answers something else.
    qint64 Size(const QString& path);
    // Downloads path in passive mode into destination from its current position. With resume (and
    // a server that supports it) the server is asked to start at that position. A 450 answer to
    // RETR ends the call without error and without data. After Abort the call returns normally
    // with the bytes received so far.
    void Get(const QString& path, TStream& destination, bool resume);
    // The path argument that puts exactly these bytes on the wire: one character per byte until the
    // server switched to UTF-8, their UTF-8 text after that. Throws EIdException when the bytes are
    // not UTF-8 while the server expects it.
    QString PathFromBytes(const QByteArray& bytes) const;
    // Stops the transfer in progress (from OnWork, on the thread running Get): sends ABOR and
    // closes the data connection. Does nothing when no transfer is running.
    void Abort();
    // Sends QUIT, waits up to 100 ms for its reply, and closes. Never throws.
    void Disconnect();

    const FtpReply& LastCmdResult() const { return lastReply_; }
    // The greeting's reply of the current connection.
    const FtpReply& Greeting() const { return greeting_; }
    // The capability list from FEAT (trimmed lines).
    const QStringList& Capabilities() const { return capabilities_; }

private:
    // Connection start, one named step each.
    bool startSession(bool sendHost);
    void openControlConnection();
    void readGreeting();
    bool announceHost();
    void logIn();
    void negotiateFeatures();
    void identifyClient();
    void switchToUtf8();
    void sendTransferType(TIdFTPTransferType type);

    // Download steps.
    struct DataEndpoint {
        QString host;
        quint16 port = 0;
    };
    // PASV, or EPSV when the server is reached over IPv6 (PASV can only name IPv4 addresses).
    DataEndpoint enterPassiveMode();
    bool serverReachedOverIPv6() const;
    void openDataConnection(const DataEndpoint& endpoint);
    void receiveData(TStream& destination);
    void readAbortReplies();

    // Writes a command and reads its reply. An empty accepted list takes any reply but 421.
    const FtpReply& sendCmd(const QString& command, std::initializer_list<int> accepted = {});
    void writeCommand(const QString& command);
    const FtpReply& readReply();
    void checkReply(std::initializer_list<int> accepted);
    // The control connection's peer as passiveDataHost needs it: the server's address, or Host
    // when a tunnel stands between.
    QString controlPeer() const;
    bool tunneled() const;
    // The transports' abort check: ShouldAbort, except while an abort is being answered.
    std::function<bool()> waitAbortCheck();

    TIdIOHandlerSocket control_;
    std::unique_ptr<TIdIOHandlerSocket> data_;
    FtpReply lastReply_;
    FtpReply greeting_;
    QStringList capabilities_;
    WorkTracker work_{OnWorkBegin, OnWork, OnWorkEnd};
    std::optional<bool> resumeSupported_;
    bool utf8_ = false;
    bool aborted_ = false;
};

} // namespace hl
