#pragma once
// An in-process TCP server on 127.0.0.1 (or [::1]) for exact wire cases. Every accepted connection runs the
// test's script on a thread of its own; the script reads what the client sent and writes exactly
// the bytes the case needs (or closes, or stalls).
#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace hl::test {

class ScriptedConnection {
public:
    ScriptedConnection(int fd, int index);
    ~ScriptedConnection();

    // Which connection of the server this is, counting from 0.
    int index() const { return index_; }

    // The next line including its CRLF/LF; empty when the client closed first.
    QByteArray readLine();
    // A request head up to and including the empty line; empty when the client closed first.
    QByteArray readHead();
    // Exactly count bytes (fewer only when the client closed).
    QByteArray readExact(int count);
    // The next count bytes (fewer only when the client closed), left in place for the next read.
    QByteArray peek(int count);
    // Everything until the client closes.
    QByteArray readAll();
    // Whether the client closed the connection within timeoutMs.
    bool waitForClientClose(int timeoutMs);

    void send(const QByteArray& bytes);
    // Waits (up to timeoutMs) until the client has acknowledged every byte sent, so that a reset
    // that follows cannot discard any of them; false on time-out.
    bool waitUntilDelivered(int timeoutMs = 10000);
    // Closes at once (sends FIN); later sends are ignored.
    void close();
    // Closes with a reset instead of a FIN.
    void reset();

    // The connected socket, for scripts that relay bytes themselves (a CONNECT proxy).
    int descriptor() const { return fd_; }

    // Everything the client sent so far on this connection.
    QByteArray received() const { return received_; }

private:
    bool fill(int timeoutMs);

    int fd_;
    int index_;
    QByteArray buffer_;
    QByteArray received_;
};

class ScriptedServer {
public:
    using Script = std::function<void(ScriptedConnection&)>;

    // Starts listening on a loopback address (loopbacksocket.h), on port or, when it is 0, on a
    // free one. The script runs once per connection; the connection is closed when the script
    // returns.
    explicit ScriptedServer(Script script, const QString& address = QStringLiteral("127.0.0.1"),
                            quint16 port = 0);
    ~ScriptedServer();

    quint16 port() const { return port_; }
    // "http://" + the address (bracketed for IPv6) + ":" + port + path.
    QString url(const QString& path = QStringLiteral("/")) const;
    int connectionCount() const { return accepted_.load(); }
    // What each connection received, in the order they were accepted (complete once the
    // scripts have finished).
    std::vector<QByteArray> received() const;
    // Waits until every script so far has returned.
    void waitIdle();
    // Waits (up to 10 s) until count scripts have returned; false on time-out.
    bool waitForScripts(int count);

private:
    void acceptLoop();

    Script script_;
    QString address_;
    int listenFd_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> accepted_{0};
    std::atomic<int> finished_{0};
    std::thread acceptThread_;
    mutable std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::vector<std::shared_ptr<QByteArray>> received_;
};

// Reads "Name: value" from a request head (first match, case-insensitive); empty when absent.
QByteArray headerValue(const QByteArray& head, const QByteArray& name);
// The request line (first line without its end).
QByteArray requestLine(const QByteArray& head);
// The header names of a request head in order, without the request line.
std::vector<QByteArray> headerNames(const QByteArray& head);

} // namespace hl::test
