#pragma once
// Listening sockets on the loopback addresses the tests may use: 127.0.0.1 and [::1].
#include <QString>
#include <QtGlobal>

namespace hl::test {

inline const QString kLoopbackIPv4 = QStringLiteral("127.0.0.1");
inline const QString kLoopbackIPv6 = QStringLiteral("::1");

// A TCP socket bound to address:port (port 0: a free one) and listening with the given backlog
// (negative: bound only); an IPv6 socket takes IPv6 only, so the same port may be taken on
// 127.0.0.1 by another. Sets port to the port bound. Throws std::runtime_error when the port
// cannot be taken.
int listenOnLoopback(const QString& address, quint16& port, int backlog);

// A port that refuses every connection on both loopback addresses for as long as the object
// lives: it is bound there without listening, so no other process can start a server on it.
class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    quint16 port() const { return port_; }

private:
    int ipv4Fd_ = -1;
    int ipv6Fd_ = -1;
    quint16 port_ = 0;
};

// Whether this machine has IPv6 on its loopback interface; tests of [::1] skip without it.
bool ipv6LoopbackAvailable();

} // namespace hl::test
