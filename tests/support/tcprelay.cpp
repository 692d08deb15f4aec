#include "support/tcprelay.h"

#include "protocols/tcpsocket.h"

#include <poll.h>
#include <sys/socket.h>

namespace hl::test {

void relayToLoopback(int clientDescriptor, quint16 serverPort) {
    TcpSocket server;
    server.connect(0x7F000001, serverPort, 5000);
    pollfd ends[2] = {{clientDescriptor, POLLIN, 0}, {server.descriptor(), POLLIN, 0}};
    char buffer[16384];
    for (;;) {
        if (::poll(ends, 2, 5000) <= 0) return;
        for (int i = 0; i < 2; ++i) {
            if (!ends[i].revents) continue;
            const ssize_t n = ::recv(ends[i].fd, buffer, sizeof buffer, 0);
            if (n <= 0 || ::send(ends[1 - i].fd, buffer, n, MSG_NOSIGNAL) != n) return;
        }
    }
}

} // namespace hl::test
