#pragma once
// The common part of the launchers for Debian's servers: a free loopback port, a temporary folder
// for configuration and log, and the child process, stopped by pid when the launcher goes away.
#include "support/loopbacksocket.h"
#include "support/serverprocess.h"
#include "support/tempdir.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace hl::test {

class LoopbackServer {
public:
    // False when the program is not installed or did not come up; the log says why.
    bool started() const { return started_; }
    QString log() const;
    quint16 port() const { return port_; }
    // The address it listens on: 127.0.0.1 or ::1.
    const QString& address() const { return address_; }
    // The address and port as a URL names them ("127.0.0.1:port", "[::1]:port").
    QString authority() const;

protected:
    // logName: the log file in dir(), where the program's output goes too.
    LoopbackServer(QString logName, QString address);
    ~LoopbackServer() = default;

    // Picks a free port, starts program with the arguments for it (the launcher writes its
    // configuration there) and waits until the program itself listens on the port. A port that
    // another process took between the choice and the program's start is given up for the next
    // free one, a few times over.
    void start(const QString& program, const std::function<QStringList(quint16 port)>& argumentsFor);
    const TempDir& dir() const { return dir_; }
    QString logFile() const { return dir_.file(logName_); }

private:
    TempDir dir_;
    QString logName_;
    QString address_;
    quint16 port_ = 0;
    bool started_ = false;
    ChildProcess process_;
};

} // namespace hl::test
