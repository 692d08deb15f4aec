#include "protocols/tcpsocket.h"

#include "protocols/happyeyeballs.h"
#include "protocols/idexceptions.h"
#include "protocols/socketerror.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace hl {

int TcpSocket::pollFor(short events, int timeoutMs) const {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int wait = kWaitForever;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        }
        const bool sliced = shouldAbort && (wait < 0 || wait > kAbortCheckMs);
        pollfd p{fd_, events, 0};
        const int r = ::poll(&p, 1, sliced ? kAbortCheckMs : wait);
        if (r < 0 && errno == EINTR) continue;
        if (r != 0 || !sliced) return r;
        if (shouldAbort()) throw EIdOperationAborted();
    }
}

TcpSocket::~TcpSocket() {
    close();
}

void TcpSocket::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

IpAddress TcpSocket::connect(const std::vector<IpAddress>& addresses, quint16 port, int timeoutMs,
                             int attemptDelayMs) {
    if (fd_ >= 0) throw EIdAlreadyConnected();
    const RaceWinner winner =
        connectFirstReachable(addresses, port, timeoutMs, attemptDelayMs, shouldAbort, kAbortCheckMs);
    fd_ = winner.descriptor;
    return winner.address;
}

void TcpSocket::connect(quint32 address, quint16 port, int timeoutMs) {
    connect({IpAddress::fromIPv4(address)}, port, timeoutMs, 0);
}

bool TcpSocket::waitReadable(int timeoutMs) const {
    if (fd_ < 0) throw EIdNotConnected();
    const int r = pollFor(POLLIN, timeoutMs);
    if (r < 0) raiseLastSocketError(true);
    return r > 0;
}

bool TcpSocket::waitWritable(int timeoutMs) const {
    if (fd_ < 0) throw EIdNotConnected();
    const int r = pollFor(POLLOUT, timeoutMs);
    if (r < 0) raiseLastSocketError();
    return r > 0;
}

std::size_t TcpSocket::receive(char* buffer, std::size_t capacity) {
    if (fd_ < 0) throw EIdNotConnected();
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer, capacity, 0);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            waitReadable(kWaitForever);
            continue;
        }
        raiseLastSocketError(true);
    }
}

void TcpSocket::sendAll(const char* data, std::size_t length) {
    if (fd_ < 0) throw EIdNotConnected();
    while (length > 0) {
        const ssize_t n = ::send(fd_, data, length, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            length -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (pollFor(POLLOUT, kWaitForever) < 0) raiseLastSocketError();
            continue;
        }
        raiseLastSocketError();
    }
}

} // namespace hl
