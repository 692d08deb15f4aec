#pragma once
// Listening sockets on the loopback addresses the tests may use: 127.0.0.1 and [::1].
#include <QString>
#include <QtGlobal>

namespace hl::test {

inline const QString kLoopbackIPv4 = QStringLiteral("127.0.0.1");
inline const QString kLoopbackIPv6 = QStringLiteral("::1");

// A TCP socket bound to address:port (port 0: a free one) and listening with the given backlog;
// an IPv6 socket takes IPv6 only, so the same port may be taken on 127.0.0.1 by another. Sets
// port to the port bound. Throws std::runtime_error when the port cannot be taken.
int listenOnLoopback(const QString& address, quint16& port, int backlog);

// Whether this machine has IPv6 on its loopback interface; tests of [::1] skip without it.
bool ipv6LoopbackAvailable();

} // namespace hl::test
