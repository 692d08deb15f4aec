#pragma once
// A loopback port that never completes a connect: it listens with an accept queue of one and that
// one place is taken, so the kernel drops every further SYN and a client's connect hangs until its
// own time limit.
#include <QtGlobal>

namespace hl::test {

class BlackholeListener {
public:
    BlackholeListener();
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
