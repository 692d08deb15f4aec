#include "support/scriptedserver.h"

#include "protocols/ipaddress.h"
#include "support/loopbacksocket.h"

#include <QList>
#include <arpa/inet.h>
#include <chrono>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace hl::test {

namespace {
constexpr int kScriptReadTimeoutMs = 10000;
}

ScriptedConnection::ScriptedConnection(int fd, int index) : fd_(fd), index_(index) {}

ScriptedConnection::~ScriptedConnection() {
    close();
}

bool ScriptedConnection::fill(int timeoutMs) {
    if (fd_ < 0) return false;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return false;
    char chunk[65536];
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    buffer_.append(chunk, n);
    received_.append(chunk, n);
    return true;
}

QByteArray ScriptedConnection::readLine() {
    for (;;) {
        const qsizetype lf = buffer_.indexOf('\n');
        if (lf >= 0) {
            QByteArray line = buffer_.left(lf + 1);
            buffer_.remove(0, lf + 1);
            return line;
        }
        if (!fill(kScriptReadTimeoutMs)) return {};
    }
}

QByteArray ScriptedConnection::readHead() {
    QByteArray head;
    for (;;) {
        QByteArray line = readLine();
        if (line.isEmpty()) return {};
        head += line;
        if (line == "\r\n" || line == "\n") return head;
    }
}

QByteArray ScriptedConnection::readExact(int count) {
    while (buffer_.size() < count)
        if (!fill(kScriptReadTimeoutMs)) break;
    QByteArray out = buffer_.left(count);
    buffer_.remove(0, out.size());
    return out;
}

QByteArray ScriptedConnection::peek(int count) {
    while (buffer_.size() < count)
        if (!fill(kScriptReadTimeoutMs)) break;
    return buffer_.left(count);
}

QByteArray ScriptedConnection::readAll() {
    while (fill(kScriptReadTimeoutMs)) {
    }
    QByteArray out = buffer_;
    buffer_.clear();
    return out;
}

bool ScriptedConnection::waitForClientClose(int timeoutMs) {
    if (fd_ < 0) return true;
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return false;
        char chunk[4096];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) return true;
        received_.append(chunk, n);
    }
}

void ScriptedConnection::send(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (fd_ >= 0 && left > 0) {
        const ssize_t n = ::send(fd_, data, left, MSG_NOSIGNAL);
        if (n <= 0) return;
        data += n;
        left -= n;
    }
}

bool ScriptedConnection::waitUntilDelivered(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int unacknowledged = 0;
        if (fd_ < 0 || ::ioctl(fd_, SIOCOUTQ, &unacknowledged) != 0 || unacknowledged == 0) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ScriptedConnection::close() {
    if (fd_ >= 0) {
        ::shutdown(fd_, SHUT_WR);
        ::close(fd_);
        fd_ = -1;
    }
}

void ScriptedConnection::reset() {
    if (fd_ >= 0) {
        linger l{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        ::close(fd_);
        fd_ = -1;
    }
}

ScriptedServer::ScriptedServer(Script script, const QString& address, quint16 port)
    : script_(std::move(script)), address_(address), port_(port) {
    listenFd_ = listenOnLoopback(address, port_, 64);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
    stopping_ = true;
    ::shutdown(listenFd_, SHUT_RDWR);
    acceptThread_.join();
    ::close(listenFd_);
    waitIdle();
}

QString ScriptedServer::url(const QString& path) const {
    return QStringLiteral("http://") + hostAndPort(address_, port_) + path;
}

void ScriptedServer::acceptLoop() {
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        const int index = accepted_++;
        auto record = std::make_shared<QByteArray>();
        std::lock_guard lock(mutex_);
        received_.push_back(record);
        workers_.emplace_back([this, fd, index, record] {
            ScriptedConnection connection(fd, index);
            script_(connection);
            *record = connection.received();
            ++finished_;
        });
    }
}

std::vector<QByteArray> ScriptedServer::received() const {
    std::lock_guard lock(mutex_);
    std::vector<QByteArray> out;
    for (const auto& r : received_)
        out.push_back(*r);
    return out;
}

void ScriptedServer::waitIdle() {
    std::vector<std::thread> finished;
    {
        std::lock_guard lock(mutex_);
        finished.swap(workers_);
    }
    for (auto& t : finished)
        t.join();
}

bool ScriptedServer::waitForScripts(int count) {
    for (int i = 0; i < 1000 && finished_.load() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return finished_.load() >= count;
}

QByteArray requestLine(const QByteArray& head) {
    const qsizetype end = head.indexOf('\n');
    return head.left(end).trimmed();
}

QByteArray headerValue(const QByteArray& head, const QByteArray& name) {
    const auto lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

std::vector<QByteArray> headerNames(const QByteArray& head) {
    std::vector<QByteArray> names;
    const auto lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) names.push_back(lines[i].left(colon).trimmed());
    }
    return names;
}

} // namespace hl::test
