// harvestline-bench-connect [COUNT]: what the connection race costs on loopback. Times COUNT
// connects (default 500) to a local listener, each followed by a close: a plain non-blocking
// connect as a single-address client makes it, the race with the one address 127.0.0.1 (every
// IPv4 literal and "localhost"), the race for a name with [::1] and 127.0.0.1 (first answers), and
// for a name whose first address refuses. Prints the median microseconds per connect.
#include "protocols/happyeyeballs.h"

#include <QElapsedTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// A listener on address:port (port 0: a free one) that accepts and closes every connection.
class Listener {
public:
    Listener(int family, quint16 port) {
        fd_ = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_storage storage{};
        socklen_t length = 0;
        if (family == AF_INET6) {
            ::setsockopt(fd_, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
            auto& a = reinterpret_cast<sockaddr_in6&>(storage);
            a.sin6_family = AF_INET6;
            a.sin6_port = htons(port);
            a.sin6_addr = in6addr_loopback;
            length = sizeof a;
        } else {
            auto& a = reinterpret_cast<sockaddr_in&>(storage);
            a.sin_family = AF_INET;
            a.sin_port = htons(port);
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            length = sizeof a;
        }
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&storage), length) != 0 || ::listen(fd_, 1024) != 0) {
            std::perror("listen");
            std::exit(1);
        }
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&storage), &length);
        port_ = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(storage).sin6_port
                                         : reinterpret_cast<sockaddr_in&>(storage).sin_port);
        acceptor_ = std::thread([this] {
            pollfd p{fd_, POLLIN, 0};
            while (!stop_) {
                if (::poll(&p, 1, 50) > 0) {
                    const int client = ::accept(fd_, nullptr, nullptr);
                    if (client >= 0) ::close(client);
                }
            }
        });
    }
    ~Listener() {
        stop_ = true;
        acceptor_.join();
        ::close(fd_);
    }
    quint16 port() const { return port_; }

private:
    int fd_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread acceptor_;
};

// The single-address connect: one non-blocking socket, one poll for its completion.
int plainConnect(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0 && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, 5000);
    }
    return fd;
}

// Microseconds per connect over count connects, each closed at once.
double timePerConnect(int count, const std::function<int()>& connectOnce) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        ::close(connectOnce());
    return static_cast<double>(timer.nsecsElapsed()) / 1e3 / count;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 500;
    const Listener v4(AF_INET, 0);
    const Listener v6(AF_INET6, v4.port());
    // A port with nothing listening on [::1]: its attempts are refused at once.
    const Listener other(AF_INET, 0);
    const quint16 port = v4.port();
    const hl::IpAddress loopback4 = hl::IpAddress::fromIPv4(0x7F000001u);
    const hl::IpAddress loopback6 = *hl::IpAddress::parse(QStringLiteral("::1"));
    auto race = [](std::vector<hl::IpAddress> addresses, quint16 to) {
        return [addresses = std::move(addresses), to] {
            return hl::connectFirstReachable(addresses, to, 5000, hl::kConnectionAttemptDelayMs, {}, 100)
                .descriptor;
        };
    };
    const std::vector<std::pair<const char*, std::function<int()>>> cases = {
        {"plain connect to 127.0.0.1", [&] { return plainConnect(port); }},
        {"race, one address 127.0.0.1", race({loopback4}, port)},
        {"race, [::1] then 127.0.0.1 (first answers)", race({loopback6, loopback4}, port)},
        {"race, [::1] refuses, then 127.0.0.1", race({loopback6, loopback4}, other.port())},
    };
    // The cases take turns, so a busy moment of the machine spreads over all of them; the median
    // of the rounds after a warm-up one is printed.
    constexpr int kRounds = 7;
    std::vector<std::vector<double>> times(cases.size());
    for (int round = 0; round <= kRounds; ++round)
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const double micros = timePerConnect(count, cases[i].second);
            if (round > 0) times[i].push_back(micros);
        }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::sort(times[i].begin(), times[i].end());
        std::printf("%-44s %8.1f us per connect (median of %d rounds of %d)\n", cases[i].first,
                    times[i][kRounds / 2], kRounds, count);
    }
    return 0;
}
