#include "protocols/iohandlersocket.h"

#include "protocols/idexceptions.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace hl {

namespace {

// The clients' time-out properties use 0 and -1 for "no limit".
int socketWait(int clientTimeout) {
    return clientTimeout > 0 ? clientTimeout : TcpSocket::kWaitForever;
}

} // namespace

TIdIOHandlerSocket::TIdIOHandlerSocket() : Resolver(systemResolver()) {}

TIdIOHandlerSocket::~TIdIOHandlerSocket() {
    // A derived transport has already closed in its own destructor; this closes the plain one.
    if (socket_.isOpen()) socket_.close();
}

void TIdIOHandlerSocket::SetTransparentProxy(const ConnectionTunnel* tunnel) {
    tunnel_ = tunnel ? tunnel->clone() : nullptr;
}

void TIdIOHandlerSocket::SetClientTunnel(std::shared_ptr<ConnectionTunnel> tunnel) {
    clientTunnel_ = std::move(tunnel);
}

void TIdIOHandlerSocket::Open() {
    if (socket_.isOpen()) throw EIdAlreadyConnected();
    if (Host.isEmpty()) throw EIdHostRequired();
    if (Port == 0) throw EIdPortRequired();
    hops_.clear();
    for (ConnectionTunnel* tunnel : {tunnel_.get(), clientTunnel_.get()})
        if (tunnel && tunnel->enabled()) hops_.push_back(tunnel);

    socket_.shouldAbort = ShouldAbort;
    connectToFirstHop();
    try {
        runTunnels(hops_.size());
        AfterConnect();
    } catch (...) {
        Close();
        throw;
    }
}

void TIdIOHandlerSocket::Reconnect() {
    const std::size_t caller = handshakingHop_;
    socket_.close();
    connectToFirstHop();
    runTunnels(caller);
    handshakingHop_ = caller;
}

void TIdIOHandlerSocket::resetInput() {
    input_.clear();
    inputPos_ = 0;
    peerClosed_ = false;
}

void TIdIOHandlerSocket::connectToFirstHop() {
    resetInput();
    const QString host = hops_.empty() ? Host : hops_.front()->serverHost();
    const quint16 port = hops_.empty() ? Port : hops_.front()->serverPort();
    peerAddress_ = socket_.connect(resolveAddresses(host, *Resolver), port, socketWait(ConnectTimeout),
                                   ConnectionAttemptDelay);
}

void TIdIOHandlerSocket::runTunnels(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        handshakingHop_ = i;
        const bool last = i + 1 == hops_.size();
        hops_[i]->handshake(*this, last ? Host : hops_[i + 1]->serverHost(),
                            last ? Port : hops_[i + 1]->serverPort());
    }
}

void TIdIOHandlerSocket::Close() {
    if (socket_.isOpen()) {
        try {
            BeforeClose();
        } catch (const Exception&) {
            // Closing is best effort: the socket goes away whatever the peer thinks.
        }
        socket_.close();
    }
    resetInput();
}

bool TIdIOHandlerSocket::Connected() const {
    return socket_.isOpen() && !(peerClosed_ && InputBufferIsEmpty());
}

bool TIdIOHandlerSocket::DiscardInputAndCheck() {
    input_.clear();
    inputPos_ = 0;
    if (!socket_.isOpen()) return false;
    try {
        char scratch[4096];
        while (!peerClosed_ && (HasPendingRaw() || socket_.waitReadable(0))) {
            if (RecvRaw(scratch, sizeof scratch, 0) == 0) peerClosed_ = true;
        }
    } catch (const EIdReadTimeout&) {
        // A partial record (TLS) is still waiting for its rest: the connection is alive.
    } catch (const EIdException&) {
        peerClosed_ = true;
    }
    if (peerClosed_) {
        Close();
        return false;
    }
    return true;
}

qint64 TIdIOHandlerSocket::fillBuffer() {
    if (peerClosed_) return 0;
    if (inputPos_ > 0) {
        input_.remove(0, inputPos_);
        inputPos_ = 0;
    }
    const qsizetype used = input_.size();
    input_.resize(used + kBufferSize);
    qint64 n = 0;
    try {
        n = RecvRaw(input_.data() + used, kBufferSize, readWaitMs());
    } catch (...) {
        input_.resize(used);
        throw;
    }
    input_.resize(used + n);
    if (n == 0) peerClosed_ = true;
    return n;
}

int TIdIOHandlerSocket::readWaitMs() const {
    const int wait = socketWait(ReadTimeout);
    if (!readDeadline_) return wait;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*readDeadline_ - std::chrono::steady_clock::now());
    const int untilDeadline = static_cast<int>(std::clamp<qint64>(left.count(), 0, INT_MAX));
    return wait == TcpSocket::kWaitForever ? untilDeadline : std::min(wait, untilDeadline);
}

void TIdIOHandlerSocket::consume(qint64 count) {
    inputPos_ += count;
    if (inputPos_ >= input_.size()) {
        input_.clear();
        inputPos_ = 0;
    }
    if (OnReceived) OnReceived(count);
}

QByteArray TIdIOHandlerSocket::ReadLn(int maxLength) {
    qsizetype searchFrom = inputPos_;
    for (;;) {
        const qsizetype lf = input_.indexOf('\n', searchFrom);
        if (lf >= 0) {
            qsizetype end = lf;
            if (end > inputPos_ && input_.at(end - 1) == '\r') --end;
            if (end - inputPos_ > maxLength) throw EIdReadLnMaxLineLengthExceeded();
            QByteArray line = input_.mid(inputPos_, end - inputPos_);
            consume(lf + 1 - inputPos_);
            return line;
        }
        // Allow one more byte for a CR that may precede the coming LF.
        if (input_.size() - inputPos_ > maxLength + 1) throw EIdReadLnMaxLineLengthExceeded();
        const qsizetype scanned = input_.size() - inputPos_;
        if (fillBuffer() == 0) throw EIdConnClosedGracefully();
        searchFrom = inputPos_ + scanned;
    }
}

qint64 TIdIOHandlerSocket::ReadSome(char* destination, qint64 capacity) {
    if (capacity <= 0) return 0;
    if (!InputBufferIsEmpty()) {
        const qint64 n = std::min<qint64>(capacity, input_.size() - inputPos_);
        std::memcpy(destination, input_.constData() + inputPos_, static_cast<size_t>(n));
        consume(n);
        return n;
    }
    if (peerClosed_) return 0;
    // Large reads go straight into the caller's memory, without passing through the buffer.
    const qint64 n = RecvRaw(destination, capacity, readWaitMs());
    if (n == 0) {
        peerClosed_ = true;
        return 0;
    }
    if (OnReceived) OnReceived(n);
    return n;
}

QByteArray TIdIOHandlerSocket::ReadExact(int count) {
    QByteArray result(count, Qt::Uninitialized);
    qint64 done = 0;
    while (done < count) {
        const qint64 n = ReadSome(result.data() + done, count - done);
        if (n == 0) throw EIdConnClosedGracefully();
        done += n;
    }
    return result;
}

bool TIdIOHandlerSocket::WaitForInput(int timeoutMs) {
    if (!InputBufferIsEmpty() || HasPendingRaw()) return true;
    if (!socket_.isOpen() || peerClosed_) return false;
    return socket_.waitReadable(timeoutMs);
}

void TIdIOHandlerSocket::Write(const char* data, qint64 length) {
    if (!socket_.isOpen()) throw EIdNotConnected();
    SendRaw(data, length);
}

qint64 TIdIOHandlerSocket::RecvRaw(char* destination, qint64 capacity, int timeoutMs) {
    if (!socket_.waitReadable(timeoutMs)) throw EIdReadTimeout();
    return static_cast<qint64>(socket_.receive(destination, static_cast<std::size_t>(capacity)));
}

void TIdIOHandlerSocket::SendRaw(const char* data, qint64 length) {
    socket_.sendAll(data, static_cast<std::size_t>(length));
}

} // namespace hl
