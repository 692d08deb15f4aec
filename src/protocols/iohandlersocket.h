#pragma once
// The connection transport beneath the HTTP and FTP clients: a TCP connection (optionally through
// a tunnel) with a 32 KiB receive buffer, line reading and blocking writes. The TLS transport
// derives from it and replaces the raw byte layer.
//
// One transport belongs to one client and is used by one thread at a time. All calls block; the
// waits for incoming data are bounded by ReadTimeout (0 or -1: no limit).
#include "protocols/connectiontunnel.h"
#include "protocols/hostresolver.h"
#include "protocols/tcpsocket.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

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
    std::shared_ptr<const HostResolver> Resolver;

    // Tunnel run as part of connecting; the transport keeps a private copy. nullptr: none.
    void SetTransparentProxy(const ConnectionTunnel* tunnel);
    const ConnectionTunnel* TransparentProxy() const { return tunnel_.get(); }

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

    // Resolves and connects to Host:Port (or the tunnel's server, then runs the tunnel's
    // handshake), then lets a derived transport finish its set-up (TLS).
    virtual void Open();
    // Closes at once; buffered input is dropped. Safe to call when closed.
    virtual void Close();
    // True while the socket is open and the peer has not been seen closing with nothing left
    // to read.
    bool Connected() const;
    // The IPv4 address (host byte order) that the last Open connected to: the target's, or the
    // tunnel server's when a tunnel is set.
    quint32 PeerAddress() const { return peerAddress_; }

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
    qint64 fillBuffer();
    void consume(qint64 count);
    // How long the next wait for incoming data may last: ReadTimeout, cut by the read deadline.
    int readWaitMs() const;

    TcpSocket socket_;
    std::unique_ptr<ConnectionTunnel> tunnel_;
    QByteArray input_;
    qsizetype inputPos_ = 0;
    bool peerClosed_ = false;
    quint32 peerAddress_ = 0;
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

} // namespace hl
