#pragma once
// The common part of the launchers for Debian's servers: a free loopback port, a temporary folder
// for configuration and log, and the child process, stopped by pid when the launcher goes away.
#include "support/serverprocess.h"
#include "support/tempdir.h"

#include <QString>
#include <QStringList>

namespace hl::test {

class LoopbackServer {
public:
    // False when the program is not installed or did not come up; the log says why.
    bool started() const { return started_; }
    QString log() const;
    quint16 port() const { return port_; }

protected:
    // Picks the port; the derived launcher writes its configuration, then calls start.
    explicit LoopbackServer(QString logName);
    ~LoopbackServer() = default;

    // Starts program (its output goes to the log) and waits until it accepts connections.
    void start(const QString& program, const QStringList& arguments);
    const TempDir& dir() const { return dir_; }
    QString logFile() const { return dir_.file(logName_); }

private:
    TempDir dir_;
    QString logName_;
    quint16 port_;
    bool started_ = false;
    ChildProcess process_;
};

} // namespace hl::test
