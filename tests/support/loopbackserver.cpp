#include "support/loopbackserver.h"

#include "protocols/ipaddress.h"

#include <chrono>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace hl::test {

namespace {

constexpr int kStartAttempts = 5;
constexpr auto kStartTimeout = std::chrono::seconds(10);

quint16 freePort(const QString& address) {
    quint16 port = 0;
    ::close(listenOnLoopback(address, port, -1));
    return port;
}

bool portTaken(const QString& address, quint16 port) {
    try {
        ::close(listenOnLoopback(address, port, -1));
        return false;
    } catch (const std::runtime_error&) {
        return true;
    }
}

// Waits until the process listens on port; false when it ended or the time ran out.
bool waitUntilListening(const ChildProcess& process, quint16 port) {
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline && process.running()) {
        if (processListensOn(process.pid(), port)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace

LoopbackServer::LoopbackServer(QString logName, QString address)
    : logName_(std::move(logName)), address_(std::move(address)) {}

QString LoopbackServer::log() const {
    return QString::fromUtf8(dir_.read(logName_));
}

QString LoopbackServer::authority() const {
    return hostAndPort(address_, port_);
}

void LoopbackServer::start(const QString& program,
                           const std::function<QStringList(quint16 port)>& argumentsFor) {
    if (!programExists(program)) return;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        port_ = freePort(address_);
        process_ = ChildProcess(program, argumentsFor(port_), logFile());
        started_ = waitUntilListening(process_, port_);
        if (started_) return;
        process_.stop();
        // Only a port that someone else holds now is worth another try; any other failure is the
        // program's own, and its log says why.
        if (!portTaken(address_, port_)) return;
    }
}

} // namespace hl::test
