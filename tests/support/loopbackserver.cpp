#include "support/loopbackserver.h"

namespace hl::test {

LoopbackServer::LoopbackServer(QString logName) : logName_(std::move(logName)), port_(freeLoopbackPort()) {}

QString LoopbackServer::log() const {
    return QString::fromUtf8(dir_.read(logName_));
}

void LoopbackServer::start(const QString& program, const QStringList& arguments) {
    if (!programExists(program)) return;
    process_ = ChildProcess(program, arguments, logFile());
    started_ = waitForPort(port_) && process_.running();
}

} // namespace hl::test
