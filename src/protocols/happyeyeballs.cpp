#include "protocols/happyeyeballs.h"

#include "protocols/idexceptions.h"
#include "protocols/socketerror.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace hl {

namespace {

using Clock = std::chrono::steady_clock;

struct Attempt {
    int descriptor;
    IpAddress address;
};

// The attempts in flight; whatever is still here when the race ends is closed.
class RunningAttempts {
public:
    RunningAttempts() = default;
    ~RunningAttempts() {
        for (const Attempt& attempt : attempts_)
            ::close(attempt.descriptor);
    }
    RunningAttempts(const RunningAttempts&) = delete;
    RunningAttempts& operator=(const RunningAttempts&) = delete;

    std::vector<Attempt>& list() { return attempts_; }
    // Takes the attempt at index out of the set without closing it.
    Attempt release(std::size_t index) {
        const Attempt attempt = attempts_[index];
        attempts_.erase(attempts_.begin() + static_cast<std::ptrdiff_t>(index));
        return attempt;
    }
    void drop(std::size_t index) { ::close(release(index).descriptor); }

private:
    std::vector<Attempt> attempts_;
};

socklen_t socketAddressOf(const IpAddress& address, quint16 port, sockaddr_storage& storage) {
    std::memset(&storage, 0, sizeof storage);
    if (address.isIPv6()) {
        auto& target = reinterpret_cast<sockaddr_in6&>(storage);
        target.sin6_family = AF_INET6;
        target.sin6_port = htons(port);
        std::memcpy(&target.sin6_addr, address.ipv6().data(), 16);
        return sizeof target;
    }
    auto& target = reinterpret_cast<sockaddr_in&>(storage);
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(address.ipv4());
    return sizeof target;
}

// Starts one non-blocking connect. Returns the descriptor, or -1 with errno set when the attempt
// failed at once. connected tells whether it has already completed.
int startAttempt(const IpAddress& address, quint16 port, bool& connected) {
    const int fd =
        ::socket(address.isIPv6() ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_storage target;
    const socklen_t length = socketAddressOf(address, port, target);
    connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&target), length) == 0;
    if (connected || errno == EINPROGRESS) return fd;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
}

int millisecondsUntil(Clock::time_point moment) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(moment - Clock::now()).count();
    return left > 0 ? static_cast<int>(std::min<long long>(left, 1 << 30)) : 0;
}

} // namespace

std::vector<IpAddress> interleaveFamilies(const std::vector<IpAddress>& addresses) {
    if (addresses.empty()) return {};
    const IpAddress::Family first = addresses.front().family();
    std::vector<IpAddress> preferred, other;
    for (const IpAddress& address : addresses)
        (address.family() == first ? preferred : other).push_back(address);
    std::vector<IpAddress> order;
    order.reserve(addresses.size());
    for (std::size_t i = 0; i < std::max(preferred.size(), other.size()); ++i) {
        if (i < preferred.size()) order.push_back(preferred[i]);
        if (i < other.size()) order.push_back(other[i]);
    }
    return order;
}

RaceWinner connectFirstReachable(const std::vector<IpAddress>& addresses, quint16 port, int timeoutMs,
                                 int attemptDelayMs, const std::function<bool()>& shouldAbort,
                                 int abortCheckMs) {
    const std::vector<IpAddress> order = interleaveFamilies(addresses);
    const bool limited = timeoutMs >= 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    RunningAttempts running;
    std::size_t next = 0;
    Clock::time_point nextStart = Clock::now();
    int lastError = EHOSTUNREACH;
    for (;;) {
        // Start every attempt that is due: the next one once its delay has passed, or at once when
        // nothing is running any more.
        while (next < order.size() && (running.list().empty() || Clock::now() >= nextStart)) {
            const IpAddress& address = order[next++];
            bool connected = false;
            const int fd = startAttempt(address, port, connected);
            if (fd < 0) {
                lastError = errno;
                continue;
            }
            if (connected) return {fd, address};
            running.list().push_back({fd, address});
            nextStart = Clock::now() + std::chrono::milliseconds(attemptDelayMs);
        }
        if (running.list().empty()) {
            errno = lastError;
            raiseLastSocketError();
        }

        int wait = limited ? millisecondsUntil(deadline) : -1;
        if (limited && wait == 0) throw EIdConnectTimeout();
        if (next < order.size()) {
            const int untilNext = millisecondsUntil(nextStart);
            wait = wait < 0 ? untilNext : std::min(wait, untilNext);
        }
        const bool sliced = shouldAbort && (wait < 0 || wait > abortCheckMs);
        if (sliced) wait = abortCheckMs;

        std::vector<pollfd> watched;
        for (const Attempt& attempt : running.list())
            watched.push_back({attempt.descriptor, POLLOUT, 0});
        const int ready = ::poll(watched.data(), watched.size(), wait);
        if (ready < 0) {
            if (errno == EINTR) continue;
            raiseLastSocketError();
        }
        if (ready == 0) {
            if (sliced && shouldAbort()) throw EIdOperationAborted();
            continue;
        }
        // Walk backwards so that dropping an attempt leaves the indices still to visit in place.
        for (std::size_t i = watched.size(); i-- > 0;) {
            if (watched[i].revents == 0) continue;
            int error = 0;
            socklen_t length = sizeof error;
            ::getsockopt(watched[i].fd, SOL_SOCKET, SO_ERROR, &error, &length);
            if (error == 0) {
                const Attempt winner = running.release(i);
                return {winner.descriptor, winner.address};
            }
            lastError = error;
            running.drop(i);
            // A failed attempt hands its turn to the next address at once.
            nextStart = Clock::now();
        }
    }
}

} // namespace hl
