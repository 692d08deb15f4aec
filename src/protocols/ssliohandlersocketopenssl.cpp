#include "protocols/ssliohandlersocketopenssl.h"

#include "protocols/httpuri.h"
#include "protocols/opensslsession.h"

namespace hl {

namespace {

// The handshake has no time limit of its own: it waits as long as a read may, and never forever.
constexpr int kDefaultHandshakeTimeoutMs = 30000;

} // namespace

TIdSSLIOHandlerSocketOpenSSL::TIdSSLIOHandlerSocketOpenSSL() = default;

TIdSSLIOHandlerSocketOpenSSL::~TIdSSLIOHandlerSocketOpenSSL() {
    Close();
}

QByteArray TIdSSLIOHandlerSocketOpenSSL::serverName() const {
    const QString host = parseURI(URIToCheck).Host;
    return (host.isEmpty() ? Host : host).toLatin1();
}

void TIdSSLIOHandlerSocketOpenSSL::Open() {
    if (!passThrough_) session_ = std::make_unique<OpenSSLSession>(SSLOptions);
    try {
        TIdIOHandlerSocket::Open();
    } catch (...) {
        session_.reset();
        throw;
    }
}

void TIdSSLIOHandlerSocketOpenSSL::SetPassThrough(bool value) {
    if (value == passThrough_) return;
    passThrough_ = value;
    if (!Socket().isOpen()) return;
    if (value) {
        if (session_) session_->shutdown();
        session_.reset();
        sessionActive_ = false;
        return;
    }
    try {
        session_ = std::make_unique<OpenSSLSession>(SSLOptions);
        startSession();
    } catch (...) {
        Close();
        throw;
    }
}

QString TIdSSLIOHandlerSocketOpenSSL::sessionPeer() const {
    QString peer = Host + QLatin1Char(':') + QString::number(Port);
    if (const TIdURI target = parseURI(URIToCheck); !target.Host.isEmpty())
        peer += QLatin1Char(' ') + authorityWithPort(target);
    return peer;
}

void TIdSSLIOHandlerSocketOpenSSL::startSession() {
    session_->handshake(Socket(), serverName(), sessionPeer(),
                        ReadTimeout > 0 ? ReadTimeout : kDefaultHandshakeTimeoutMs);
    sessionActive_ = true;
    sessionResumed_ = session_->resumed();
}

void TIdSSLIOHandlerSocketOpenSSL::AfterConnect() {
    if (passThrough_) return;
    // A tunnel whose proxy closed the connection on its challenge has closed the prepared session
    // with it; the connection it made anew needs one of its own.
    if (!session_) session_ = std::make_unique<OpenSSLSession>(SSLOptions);
    startSession();
}

void TIdSSLIOHandlerSocketOpenSSL::BeforeClose() {
    if (sessionActive_) session_->shutdown();
    session_.reset();
    sessionActive_ = false;
}

qint64 TIdSSLIOHandlerSocketOpenSSL::RecvRaw(char* destination, qint64 capacity, int timeoutMs) {
    if (!sessionActive_) return TIdIOHandlerSocket::RecvRaw(destination, capacity, timeoutMs);
    return session_->read(destination, capacity, timeoutMs);
}

void TIdSSLIOHandlerSocketOpenSSL::SendRaw(const char* data, qint64 length) {
    if (!sessionActive_) return TIdIOHandlerSocket::SendRaw(data, length);
    session_->write(data, length);
}

bool TIdSSLIOHandlerSocketOpenSSL::HasPendingRaw() const {
    return sessionActive_ && session_->hasPending();
}

} // namespace hl
