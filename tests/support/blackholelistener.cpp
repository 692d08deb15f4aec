#include "support/blackholelistener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace hl::test {

BlackholeListener::BlackholeListener() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 0) != 0)
        throw std::runtime_error("blackhole listener: cannot listen on loopback");
    socklen_t length = sizeof address;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);

    // Take the only place in the accept queue; it is never accepted.
    fillerFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ::connect(fillerFd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    pollfd p{fillerFd_, POLLOUT, 0};
    if (::poll(&p, 1, 2000) != 1)
        throw std::runtime_error("blackhole listener: filler connection did not complete");
}

BlackholeListener::~BlackholeListener() {
    ::close(fillerFd_);
    ::close(listenFd_);
}

} // namespace hl::test
