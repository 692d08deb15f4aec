#include "protocols/opensslsession.h"

#include "protocols/openssllibrary.h"
#include "protocols/socketerror.h"
#include "protocols/sslexceptions.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <map>
#include <mutex>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <pthread.h>

namespace hl {

namespace {

// The library's entry points, typed by OpenSSL's own declarations.
struct Api {
    explicit Api(const OpenSSLLibrary& library) {
#define HL_OPENSSL_ASSIGN(libraryFile, name)                                                                 \
    name = reinterpret_cast<decltype(&::name)>(library.address(OpenSSLLibrary::Entry::name));
        HL_OPENSSL_ENTRY_POINTS(HL_OPENSSL_ASSIGN)
#undef HL_OPENSSL_ASSIGN
    }
#define HL_OPENSSL_MEMBER(libraryFile, name) decltype(&::name) name = nullptr;
    HL_OPENSSL_ENTRY_POINTS(HL_OPENSSL_MEMBER)
#undef HL_OPENSSL_MEMBER
};

// Loads the library on the first call; a failed load throws and is tried again on the next call.
const Api& api() {
    static const Api table(OpenSSLLibrary::process());
    return table;
}

const QString kEofText = QStringLiteral("EOF was observed that violates the protocol");

// The library's rendering of its oldest queued error; the rest of the queue belongs to the same
// failure and is dropped, so the next call starts with an empty queue.
QString takeLibraryError() {
    const unsigned long code = api().ERR_get_error();
    char text[256] = {};
    api().ERR_error_string_n(code, text, sizeof text);
    api().ERR_clear_error();
    return QString::fromLatin1(text);
}

QString withLibraryError(const char* fixedText) {
    return QString::fromLatin1(fixedText) + QStringLiteral("\r\n") + takeLibraryError();
}

// OpenSSL 3 queues a peer's close without close notify as an error of its own, where older lines
// reported a bare system-call failure with result 0; both mean the same.
bool unexpectedEofQueued() {
    const unsigned long code = api().ERR_peek_error();
    return ERR_GET_LIB(code) == ERR_LIB_SSL && ERR_GET_REASON(code) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
}

QString failureKindText(int kind) {
    switch (kind) {
    case SSL_ERROR_ZERO_RETURN:
        return QStringLiteral("SSL_ERROR_ZERO_RETURN");
    case SSL_ERROR_WANT_CONNECT:
        return QStringLiteral("SSL_ERROR_WANT_CONNECT");
    case SSL_ERROR_WANT_ACCEPT:
        return QStringLiteral("SSL_ERROR_WANT_ACCEPT");
    case SSL_ERROR_WANT_X509_LOOKUP:
        return QStringLiteral("SSL_ERROR_WANT_X509_LOOKUP");
    default:
        return QStringLiteral("SSL_ERROR %1").arg(kind);
    }
}

// How a failed call ended, taken right after it (errno would not survive other calls).
struct Failure {
    int kind;
    int result;
    int systemError;
};

enum class FailureClass { PeerClosed, SocketError, LibraryError, OtherKind };

FailureClass classify(const Failure& failure) {
    if (failure.kind == SSL_ERROR_SYSCALL && api().ERR_peek_error() == 0)
        return failure.result == 0 || failure.systemError == 0 ? FailureClass::PeerClosed
                                                               : FailureClass::SocketError;
    if (unexpectedEofQueued()) {
        api().ERR_clear_error();
        return FailureClass::PeerClosed;
    }
    if (failure.kind == SSL_ERROR_SSL || failure.kind == SSL_ERROR_SYSCALL) return FailureClass::LibraryError;
    return FailureClass::OtherKind;
}

[[noreturn]] void raiseSocketErrorFor(const Failure& failure, bool whileReceiving) {
    errno = failure.systemError;
    raiseLastSocketError(whileReceiving);
}

[[noreturn]] void raiseHandshakeFailure(const Failure& failure) {
    switch (classify(failure)) {
    case FailureClass::PeerClosed:
        throw EIdOSSLConnectError(QStringLiteral("Error connecting with SSL.\r\n") + kEofText);
    case FailureClass::SocketError:
        raiseSocketErrorFor(failure, true);
    case FailureClass::LibraryError:
        throw EIdOSSLUnderlyingCryptoError(withLibraryError("Error connecting with SSL."));
    case FailureClass::OtherKind:
        break;
    }
    throw EIdOSSLUnderlyingCryptoError(QStringLiteral("Error connecting with SSL.\r\n") +
                                       failureKindText(failure.kind));
}

[[noreturn]] void raiseTransferFailure(const Failure& failure, bool whileReceiving) {
    switch (classify(failure)) {
    case FailureClass::PeerClosed:
        throw EIdOpenSSLAPISSLError(kEofText);
    case FailureClass::SocketError:
        raiseSocketErrorFor(failure, whileReceiving);
    case FailureClass::LibraryError:
        throw EIdOpenSSLAPISSLError(takeLibraryError());
    case FailureClass::OtherKind:
        break;
    }
    throw EIdOpenSSLAPISSLError(failureKindText(failure.kind));
}

// The library writes to the socket with write(), which raises SIGPIPE when the peer has gone and
// would end the whole program. The signal is held back on this thread for the duration of a call,
// and one the call caused is taken before the thread's mask is restored.
class SigpipeHeldBack {
public:
    SigpipeHeldBack() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~SigpipeHeldBack() {
        if (!sigismember(&previous_, SIGPIPE)) {
            sigset_t pending;
            sigpending(&pending);
            if (sigismember(&pending, SIGPIPE)) {
                const timespec noWait{};
                sigtimedwait(&pipe_, nullptr, &noWait);
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SigpipeHeldBack(const SigpipeHeldBack&) = delete;
    SigpipeHeldBack& operator=(const SigpipeHeldBack&) = delete;

private:
    sigset_t pipe_;
    sigset_t previous_;
};

// A time limit shared by the several waits of one call.
class Deadline {
public:
    explicit Deadline(int timeoutMs)
        : unlimited_(timeoutMs < 0), end_(Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0))) {}
    int remainingMs() const {
        if (unlimited_) return TcpSocket::kWaitForever;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now()).count();
        return left > 0 ? static_cast<int>(left) : 0;
    }

private:
    using Clock = std::chrono::steady_clock;
    bool unlimited_;
    Clock::time_point end_;
};

// Waits for what the library asked for; false when the time ran out.
bool waitFor(int kind, const TcpSocket& socket, const Deadline& deadline) {
    return kind == SSL_ERROR_WANT_WRITE ? socket.waitWritable(deadline.remainingMs())
                                        : socket.waitReadable(deadline.remainingMs());
}

bool isWant(int kind) {
    return kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE;
}

struct ContextDeleter {
    void operator()(SSL_CTX* context) const { api().SSL_CTX_free(context); }
};
struct SessionDeleter {
    void operator()(SSL* session) const { api().SSL_free(session); }
};
using ContextPointer = std::unique_ptr<SSL_CTX, ContextDeleter>;
using SessionPointer = std::unique_ptr<SSL, SessionDeleter>;

struct VersionOption {
    TIdSSLVersion version;
    uint64_t option;
};

constexpr VersionOption kVersionOptions[] = {
    {TIdSSLVersion::sslvSSLv2, SSL_OP_NO_SSLv2},     {TIdSSLVersion::sslvSSLv3, SSL_OP_NO_SSLv3},
    {TIdSSLVersion::sslvTLSv1, SSL_OP_NO_TLSv1},     {TIdSSLVersion::sslvTLSv1_1, SSL_OP_NO_TLSv1_1},
    {TIdSSLVersion::sslvTLSv1_2, SSL_OP_NO_TLSv1_2},
};

ContextPointer buildContext(const TIdSSLOptions& options) {
    const Api& ssl = api();
    ssl.ERR_clear_error();
    // The library's version-specific methods are deprecated; the negotiating method restricted to
    // one version by the options below offers the same version on the wire.
    ContextPointer context(ssl.SSL_CTX_new(ssl.TLS_client_method()));
    if (!context) throw EIdOSSLCreatingContextError(withLibraryError("Error creating SSL context."));
    const bool negotiating = options.Method() == TIdSSLVersion::sslvSSLv23;
    for (const VersionOption& v : kVersionOptions) {
        if (!options.allows(v.version))
            ssl.SSL_CTX_set_options(context.get(), v.option);
        else if (negotiating)
            ssl.SSL_CTX_clear_options(context.get(), v.option);
    }
    // TLS 1.3 is newer than anything this transport offers.
    ssl.SSL_CTX_set_options(context.get(), SSL_OP_NO_TLSv1_3);
    // OpenSSL 3's default security level refuses the signatures of TLS 1.0 and 1.1 outright, so
    // allowing those versions means lowering it; no certificate is verified anyway.
    if (options.allows(TIdSSLVersion::sslvTLSv1) || options.allows(TIdSSLVersion::sslvTLSv1_1))
        ssl.SSL_CTX_set_security_level(context.get(), 0);
    ssl.SSL_CTX_ctrl(context.get(), SSL_CTRL_MODE, SSL_MODE_AUTO_RETRY, nullptr);
    if (!options.CipherList.isEmpty() &&
        ssl.SSL_CTX_set_cipher_list(context.get(), options.CipherList.toLatin1().constData()) != 1) {
        ssl.ERR_clear_error();
        throw EIdOSSLSettingCipherError();
    }
    return context;
}

// The contexts of the process, by their options.
struct ContextCache {
    std::mutex mutex;
    std::map<QString, SSL_CTX*> contexts;
};

// Made on first use and never destroyed, nor are the contexts freed: freeing them at exit would
// race the library's own exit handler, and a connection made while the process exits (by a thread
// that is still running) must still find the cache whole.
ContextCache& contextCache() {
    static ContextCache* const cache = new ContextCache;
    return *cache;
}

// A context built from the same options is the same context: it holds no per-connection state
// (clients keep no session cache unless told to), and the library lets many threads create
// sessions from it at once. Building one is about a fifth of the client's work for a local
// handshake, so each distinct set of options gets one context for the life of the process. A
// failed build is not kept: the next connection tries again.
SSL_CTX* sharedContext(const TIdSSLOptions& options) {
    QString key = options.CipherList + QLatin1Char('|') + QString::number(static_cast<int>(options.Method()));
    for (TIdSSLVersion version : options.SSLVersions())
        key += QLatin1Char(',') + QString::number(static_cast<int>(version));
    ContextCache& cache = contextCache();
    std::lock_guard lock(cache.mutex);
    SSL_CTX*& context = cache.contexts[key];
    if (!context) context = buildContext(options).release();
    return context;
}

} // namespace

struct OpenSSLSession::Impl {
    SSL_CTX* context = nullptr;
    SessionPointer session;
    TcpSocket* socket = nullptr;
    // A session that failed must not be shut down; one that never came up has nothing to close.
    bool usable = false;

    Failure failureOf(int result) const {
        const int systemError = errno;
        return Failure{api().SSL_get_error(session.get(), result), result, systemError};
    }
};

OpenSSLSession::OpenSSLSession(const TIdSSLOptions& options) : impl_(std::make_unique<Impl>()) {
    impl_->context = sharedContext(options);
}

OpenSSLSession::~OpenSSLSession() = default;

void OpenSSLSession::handshake(TcpSocket& socket, const QByteArray& serverName, int timeoutMs) {
    const Api& ssl = api();
    ssl.ERR_clear_error();
    impl_->socket = &socket;
    impl_->session.reset(ssl.SSL_new(impl_->context));
    if (!impl_->session) throw EIdOSSLCreatingSessionError(withLibraryError("Error creating SSL session."));
    if (ssl.SSL_set_fd(impl_->session.get(), socket.descriptor()) != 1)
        throw EIdOSSLFDSetError(withLibraryError("Error setting File Descriptor for SSL"));
    // Sent even for an address literal. A name the extension cannot carry (over 255 bytes) is
    // left out rather than failing the connection.
    if (!serverName.isEmpty() &&
        ssl.SSL_ctrl(impl_->session.get(), SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                     const_cast<char*>(serverName.constData())) != 1)
        ssl.ERR_clear_error();

    const Deadline deadline(timeoutMs);
    for (;;) {
        const SigpipeHeldBack held;
        errno = 0;
        const int result = ssl.SSL_connect(impl_->session.get());
        if (result == 1) break;
        const Failure failure = impl_->failureOf(result);
        if (!isWant(failure.kind)) raiseHandshakeFailure(failure);
        if (!waitFor(failure.kind, socket, deadline)) throw EIdReadTimeout();
    }
    impl_->usable = true;
}

qint64 OpenSSLSession::read(char* destination, qint64 capacity, int timeoutMs) {
    const Api& ssl = api();
    const int request = static_cast<int>(std::min<qint64>(capacity, INT_MAX));
    const Deadline deadline(timeoutMs);
    for (;;) {
        const SigpipeHeldBack held;
        ssl.ERR_clear_error();
        errno = 0;
        const int result = ssl.SSL_read(impl_->session.get(), destination, request);
        if (result > 0) return result;
        const Failure failure = impl_->failureOf(result);
        if (failure.kind == SSL_ERROR_ZERO_RETURN) return 0;
        if (!isWant(failure.kind)) {
            impl_->usable = false;
            raiseTransferFailure(failure, true);
        }
        if (!waitFor(failure.kind, *impl_->socket, deadline)) throw EIdReadTimeout();
    }
}

void OpenSSLSession::write(const char* data, qint64 length) {
    const Api& ssl = api();
    // Without partial writes the library takes a whole piece or nothing; a repeated call after
    // want-read or want-write must pass the same piece again.
    constexpr qint64 kPiece = 1 << 30;
    while (length > 0) {
        const int piece = static_cast<int>(std::min(length, kPiece));
        const SigpipeHeldBack held;
        ssl.ERR_clear_error();
        errno = 0;
        const int result = ssl.SSL_write(impl_->session.get(), data, piece);
        if (result > 0) {
            data += result;
            length -= result;
            continue;
        }
        const Failure failure = impl_->failureOf(result);
        // The peer has closed the session: sending is over, as on a socket shut down for writing.
        if (failure.kind == SSL_ERROR_ZERO_RETURN) raiseSocketError(WSAESHUTDOWN);
        if (!isWant(failure.kind)) {
            impl_->usable = false;
            raiseTransferFailure(failure, false);
        }
        waitFor(failure.kind, *impl_->socket, Deadline(TcpSocket::kWaitForever));
    }
}

bool OpenSSLSession::hasPending() const {
    return impl_->session && api().SSL_pending(impl_->session.get()) > 0;
}

void OpenSSLSession::shutdown() {
    if (!impl_->usable) return;
    impl_->usable = false;
    const SigpipeHeldBack held;
    api().SSL_shutdown(impl_->session.get());
    api().ERR_clear_error();
}

} // namespace hl
