#pragma once
// A loopback port that never completes a connect: it listens with an accept queue of one and that
// one place is taken, so the kernel drops every further SYN and a client's connect hangs until its
// own time limit.
#include <QString>
#include <QtGlobal>

namespace hl::test {

class BlackholeListener {
public:
    // On 127.0.0.1 or [::1] (loopbacksocket.h), on port or, when it is 0, on a free one.
    explicit BlackholeListener(const QString& address = QStringLiteral("127.0.0.1"), quint16 port = 0);
    ~BlackholeListener();
    BlackholeListener(const BlackholeListener&) = delete;
    BlackholeListener& operator=(const BlackholeListener&) = delete;

    quint16 port() const { return port_; }

private:
    int listenFd_ = -1;
    int fillerFd_ = -1;
    quint16 port_ = 0;
};

} // namespace hl::test
