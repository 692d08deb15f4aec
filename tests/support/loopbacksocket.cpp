#include "support/loopbacksocket.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace hl::test {

int listenOnLoopback(const QString& address, quint16& port, int backlog) {
    const bool ipv6 = address.contains(QLatin1Char(':'));
    const int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("loopback socket: no socket of this family");
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (ipv6) {
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
        auto& target = reinterpret_cast<sockaddr_in6&>(storage);
        target.sin6_family = AF_INET6;
        target.sin6_port = htons(port);
        ::inet_pton(AF_INET6, address.toLatin1().constData(), &target.sin6_addr);
        length = sizeof target;
    } else {
        auto& target = reinterpret_cast<sockaddr_in&>(storage);
        target.sin_family = AF_INET;
        target.sin_port = htons(port);
        ::inet_pton(AF_INET, address.toLatin1().constData(), &target.sin_addr);
        length = sizeof target;
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
        (backlog >= 0 && ::listen(fd, backlog) != 0)) {
        ::close(fd);
        throw std::runtime_error("loopback socket: cannot listen on " + address.toStdString());
    }
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length);
    port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6&>(storage).sin6_port
                      : reinterpret_cast<sockaddr_in&>(storage).sin_port);
    return fd;
}

ClosedPort::ClosedPort() {
    // The port is free on 127.0.0.1; on [::1] someone may hold it already, then the next one.
    for (int attempt = 0; attempt < 20 && ipv6Fd_ < 0; ++attempt) {
        if (ipv4Fd_ >= 0) ::close(ipv4Fd_);
        port_ = 0;
        ipv4Fd_ = listenOnLoopback(kLoopbackIPv4, port_, -1);
        if (!ipv6LoopbackAvailable()) return;
        try {
            quint16 same = port_;
            ipv6Fd_ = listenOnLoopback(kLoopbackIPv6, same, -1);
        } catch (const std::runtime_error&) {
            // Taken on [::1]: try another port.
        }
    }
    if (ipv6Fd_ < 0) throw std::runtime_error("closed port: no port free on both loopback addresses");
}

ClosedPort::~ClosedPort() {
    for (const int fd : {ipv4Fd_, ipv6Fd_})
        if (fd >= 0) ::close(fd);
}

bool ipv6LoopbackAvailable() {
    static const bool available = [] {
        try {
            quint16 port = 0;
            ::close(listenOnLoopback(kLoopbackIPv6, port, 1));
            return true;
        } catch (const std::runtime_error&) {
            return false;
        }
    }();
    return available;
}

} // namespace hl::test
