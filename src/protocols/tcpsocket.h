#pragma once
// A blocking TCP connection (IPv4 or IPv6) driven by poll(). Owns its descriptor. Errors are raised
// as EIdSocketError with Windows Sockets numbers; time-outs as EIdConnectTimeout / EIdReadTimeout.
#include "protocols/ipaddress.h"

#include <QtGlobal>
#include <cstddef>
#include <functional>
#include <vector>

namespace hl {

class TcpSocket {
public:
    // Time limits are in milliseconds: kWaitForever (any negative value) waits without limit, 0 only
    // looks. Callers map the clients' "0 or -1 means no limit" onto this.
    static constexpr int kWaitForever = -1;
    // How often a wait with nothing happening asks shouldAbort.
    static constexpr int kAbortCheckMs = 100;

    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Asked on the waiting thread every kAbortCheckMs while connect, a wait or a write is blocked;
    // true ends that call with EIdOperationAborted. Lets a stop request end a silent transfer
    // however long its time-outs are. Empty: never asked.
    std::function<bool()> shouldAbort;

    // Connects to port on the first of addresses that answers (happyeyeballs.h: one attempt after
    // another, attemptDelayMs apart); timeoutMs bounds the whole connect, without a limit it waits
    // as long as the system does. Returns the address connected to.
    IpAddress connect(const std::vector<IpAddress>& addresses, quint16 port, int timeoutMs,
                      int attemptDelayMs);
    // Connects to one IPv4 address (host byte order).
    void connect(quint32 address, quint16 port, int timeoutMs);

    // Waits until data (or the peer's close) can be read; false when the time ran out.
    bool waitReadable(int timeoutMs) const;
    // Waits until the socket accepts more bytes; false when the time ran out.
    bool waitWritable(int timeoutMs) const;

    // Reads what is available, at most capacity bytes; 0 means the peer closed the connection.
    // Does not wait: call waitReadable first.
    std::size_t receive(char* buffer, std::size_t capacity);

    // Writes all bytes, waiting for the socket to accept them.
    void sendAll(const char* data, std::size_t length);

    void close();
    bool isOpen() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }

private:
    // poll() for events, restarted after signals, within timeoutMs (kWaitForever: no limit).
    // Returns poll()'s result; throws EIdOperationAborted when shouldAbort says so.
    int pollFor(short events, int timeoutMs) const;

    int fd_ = -1;
};

} // namespace hl
