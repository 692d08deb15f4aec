#include "support/blackholelistener.h"

#include "support/loopbacksocket.h"

#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace hl::test {

BlackholeListener::BlackholeListener(const QString& address, quint16 port) : port_(port) {
    listenFd_ = listenOnLoopback(address, port_, 0);
    // Take the only place in the accept queue; it is never accepted.
    sockaddr_storage target{};
    socklen_t length = sizeof target;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&target), &length);
    fillerFd_ = ::socket(target.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ::connect(fillerFd_, reinterpret_cast<sockaddr*>(&target), length);
    pollfd p{fillerFd_, POLLOUT, 0};
    if (::poll(&p, 1, 2000) != 1) {
        ::close(fillerFd_);
        ::close(listenFd_);
        throw std::runtime_error("blackhole listener: filler connection did not complete");
    }
}

BlackholeListener::~BlackholeListener() {
    ::close(fillerFd_);
    ::close(listenFd_);
}

} // namespace hl::test
