#pragma once
// The connection transport beneath the HTTP and FTP clients: a TCP connection (optionally through
// tunnels) with a 32 KiB receive buffer, line reading and blocking writes. The TLS transport
// derives from it and replaces the raw byte layer.
//
// One transport belongs to one client and is used by one thread at a time. All calls block; the
// waits for incoming data are bounded by ReadTimeout (0 or -1: no limit).
#include "protocols/connectiontunnel.h"
#include "protocols/happyeyeballs.h"
#include "protocols/hostresolver.h"
#include "protocols/tcpsocket.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace hl {

class TIdIOHandlerSocket {
public:
    static constexpr int kBufferSize = 32 * 1024;
    static constexpr int kMaxLineLength = 16384;

    TIdIOHandlerSocket();
    virtual ~TIdIOHandlerSocket();
    TIdIOHandlerSocket(const TIdIOHandlerSocket&) = delete;
    TIdIOHandlerSocket& operator=(const TIdIOHandlerSocket&) = delete;

    // Where Open connects, and how long it may wait (ms; 0 or -1: no limit).
    QString Host;
    quint16 Port = 0;
    int ConnectTimeout = 0;
    int ReadTimeout = -1;
    // How long one connection attempt runs before the next address of the host is tried beside it
    // (ms; happyeyeballs.h).
    int ConnectionAttemptDelay = kConnectionAttemptDelayMs;
    std::shared_ptr<const HostResolver> Resolver;

    // Tunnel run as part of connecting; the transport keeps a private copy. nullptr: none.
    void SetTransparentProxy(const ConnectionTunnel* tunnel);
    const ConnectionTunnel* TransparentProxy() const { return tunnel_.get(); }
    // A tunnel a client runs after the TransparentProxy's for its own connections: the HTTP
    // client's CONNECT through its HTTP proxy. Shared with the client, not copied. nullptr: none.
    void SetClientTunnel(std::shared_ptr<ConnectionTunnel> tunnel);

    // While set, every wait for incoming data also ends at this moment (EIdReadTimeout): a part of
    // an exchange that must arrive as a whole, such as a reply head, cannot be stretched without
    // end by a peer that sends a byte now and then. nullopt clears it.
    void SetReadDeadline(std::optional<std::chrono::steady_clock::time_point> deadline) {
        readDeadline_ = deadline;
    }

    // Called on the reading thread with the number of bytes each time bytes leave the receive
    // buffer (line ends included). The clients use it for their work reporting.
    std::function<void(qint64)> OnReceived;
    // Asked on the calling thread about every TcpSocket::kAbortCheckMs while a call waits for the
    // peer; true ends that call with EIdOperationAborted. Set before Open.
    std::function<bool()> ShouldAbort;

    // Resolves Host (both families) and connects to Host:Port, or to the first tunnel's server and
    // then runs each tunnel's handshake towards the next one and finally Host:Port; then lets a
    // derived transport finish its set-up (TLS). A failure closes the connection.
    virtual void Open();
    // For a tunnel's handshake whose server closed the connection on it (a proxy after a 407):
    // connects to the first server again and runs the tunnels before the calling one again, so the
    // caller can start over on a fresh connection. Only valid inside a handshake that Open runs.
    void Reconnect();
    // Closes at once; buffered input is dropped. Safe to call when closed.
    virtual void Close();
    // True while the socket is open and the peer has not been seen closing with nothing left
    // to read.
    bool Connected() const;
    // The address that the last Open connected to: the target's, or the first tunnel server's
    // when a tunnel is set.
    IpAddress PeerAddress() const { return peerAddress_; }

    // Drops input left over from an earlier exchange; when the peer has closed in the meantime the
    // connection is closed. Returns whether it is still open.
    bool DiscardInputAndCheck();

    // The next line without its end (LF, with a CR before it removed). Throws
    // EIdReadLnMaxLineLengthExceeded past maxLength characters, EIdConnClosedGracefully when the
    // peer closes first, EIdReadTimeout.
    QByteArray ReadLn(int maxLength = kMaxLineLength);
    // Up to capacity bytes: buffered input first, otherwise what the next receive brings.
    // Returns 0 when the peer has closed the connection.
    qint64 ReadSome(char* destination, qint64 capacity);
    // Exactly count bytes; EIdConnClosedGracefully when the peer closes first.
    QByteArray ReadExact(int count);
    // Whether input is available within timeoutMs (buffered, held by the raw layer, or on the
    // socket). Does not consume anything.
    bool WaitForInput(int timeoutMs);
    bool InputBufferIsEmpty() const { return inputPos_ >= input_.size(); }

    void Write(const QByteArray& bytes) { Write(bytes.constData(), bytes.size()); }
    void Write(const char* data, qint64 length);

protected:
    // The raw byte layer. RecvRaw waits up to timeoutMs (EIdReadTimeout) and returns 0 at the
    // peer's close; SendRaw writes everything.
    virtual qint64 RecvRaw(char* destination, qint64 capacity, int timeoutMs);
    virtual void SendRaw(const char* data, qint64 length);
    // Bytes the raw layer already holds (decrypted TLS data) count as readable without waiting.
    virtual bool HasPendingRaw() const { return false; }
    // Runs after the TCP connection and the tunnel handshake are up.
    virtual void AfterConnect() {}
    // Runs before the socket closes.
    virtual void BeforeClose() {}

    TcpSocket& Socket() { return socket_; }
    const TcpSocket& Socket() const { return socket_; }

private:
    void resetInput();
    void connectToFirstHop();
    // Runs the handshakes of the first count tunnels.
    void runTunnels(std::size_t count);
    qint64 fillBuffer();
    void consume(qint64 count);
    // How long the next wait for incoming data may last: ReadTimeout, cut by the read deadline.
    int readWaitMs() const;

    TcpSocket socket_;
    std::unique_ptr<ConnectionTunnel> tunnel_;
    std::shared_ptr<ConnectionTunnel> clientTunnel_;
    // While Open runs: the enabled tunnels in the order they are passed, and whose handshake runs.
    std::vector<ConnectionTunnel*> hops_;
    std::size_t handshakingHop_ = 0;
    QByteArray input_;
    qsizetype inputPos_ = 0;
    bool peerClosed_ = false;
    IpAddress peerAddress_;
    std::optional<std::chrono::steady_clock::time_point> readDeadline_;
};

// Gives a transport a read deadline of timeoutMs from now (none when timeoutMs is 0 or -1) for as
// long as it lives.
class ReadDeadlineScope {
public:
    ReadDeadlineScope(TIdIOHandlerSocket& io, int timeoutMs) : io_(io) {
        if (timeoutMs > 0)
            io.SetReadDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs));
    }
    ~ReadDeadlineScope() { io_.SetReadDeadline(std::nullopt); }
    ReadDeadlineScope(const ReadDeadlineScope&) = delete;
    ReadDeadlineScope& operator=(const ReadDeadlineScope&) = delete;

private:
    TIdIOHandlerSocket& io_;
};

// Keeps a transport's OnReceived hook quiet for a scope: the clients count received bytes as transfer
// work, and a tunnel's handshake is no part of any transfer.
class ReceiveHookPause {
public:
    explicit ReceiveHookPause(TIdIOHandlerSocket& transport)
        : transport_(transport), hook_(std::exchange(transport.OnReceived, nullptr)) {}
    ~ReceiveHookPause() { transport_.OnReceived = std::move(hook_); }
    ReceiveHookPause(const ReceiveHookPause&) = delete;
    ReceiveHookPause& operator=(const ReceiveHookPause&) = delete;

private:
    TIdIOHandlerSocket& transport_;
    std::function<void(qint64)> hook_;
};

} // namespace hl
