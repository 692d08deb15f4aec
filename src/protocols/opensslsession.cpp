#include "protocols/opensslsession.h"

#include "protocols/openssllibrary.h"
#include "protocols/socketerror.h"
#include "protocols/sslexceptions.h"
#include "protocols/tlssessioncache.h"

#include <QFileInfo>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <map>
#include <mutex>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>
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
const QString kCertificateRefused =
    QStringLiteral("Error connecting with SSL.\r\nCertificate verification failed: ");

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

// The sessions servers give, for resuming them on the next connection to the same server (see
// tlssessioncache.h). A session carries a peer certificate of a few kilobytes, so the bound keeps
// the cache to about a megabyte.
constexpr std::size_t kCachedPeers = 100;
constexpr std::size_t kSessionsPerPeer = 4;

using SessionHandle = std::shared_ptr<SSL_SESSION>;
using SessionCache = TlsSessionCache<SessionHandle>;

// Never destroyed: a download thread may still be connecting while the program exits, and the
// sessions must not be freed under it (nor after the library's own exit handler).
SessionCache& sessionCache() {
    static SessionCache& cache = *new SessionCache(kCachedPeers, kSessionsPerPeer);
    return cache;
}

// What a connection needs to find its peer's sessions and to file the new ones; the library
// hands it to the new-session callback through the session's application data.
struct Resumption {
    QString peer;
    SessionHandle offered;
};

// The library calls this for every session the server gives: once the handshake is done (TLS 1.2,
// session id or ticket), or for each ticket that arrives afterwards (TLS 1.3). Returning 1 keeps
// the library's reference to the session.
int keepNewSession(SSL* connection, SSL_SESSION* session) {
    const Api& ssl = api();
    const auto* resumption = static_cast<const Resumption*>(ssl.SSL_get_ex_data(connection, 0));
    if (!resumption || ssl.SSL_SESSION_is_resumable(session) != 1) return 0;
    const bool singleUse = ssl.SSL_SESSION_get_protocol_version(session) == TLS1_3_VERSION;
    sessionCache().put(resumption->peer,
                       SessionHandle(session, [](SSL_SESSION* s) { api().SSL_SESSION_free(s); }), singleUse);
    return 1;
}

// Trust for strict verification: the CA file, or the system's store.
void loadTrust(SSL_CTX* context, const QString& caFile) {
    const Api& ssl = api();
    const bool loaded =
        caFile.isEmpty()
            ? ssl.SSL_CTX_set_default_verify_paths(context) == 1
            : ssl.SSL_CTX_load_verify_locations(context, QFile::encodeName(caFile).constData(), nullptr) == 1;
    if (loaded) return;
    const QString what = caFile.isEmpty() ? QStringLiteral("the system's trusted certificates")
                                          : QStringLiteral("the CA file \"%1\"").arg(caFile);
    throw EIdOSSLCreatingContextError(
        QStringLiteral("Error creating SSL context.\r\nCould not load %1: %2").arg(what, takeLibraryError()));
}

void allowVersions(const Api& ssl, SSL_CTX* context, const TIdSSLOptions& options) {
    if (options.Verification.Strict) {
        ssl.SSL_CTX_ctrl(context, SSL_CTRL_SET_MIN_PROTO_VERSION, TLS1_2_VERSION, nullptr);
        ssl.SSL_CTX_ctrl(context, SSL_CTRL_SET_MAX_PROTO_VERSION, TLS1_3_VERSION, nullptr);
        return;
    }
    const bool negotiating = options.Method() == TIdSSLVersion::sslvSSLv23;
    for (const VersionOption& v : kVersionOptions) {
        if (!options.allows(v.version))
            ssl.SSL_CTX_set_options(context, v.option);
        else if (negotiating)
            ssl.SSL_CTX_clear_options(context, v.option);
    }
    // TLS 1.3 is newer than anything this transport offers.
    ssl.SSL_CTX_set_options(context, SSL_OP_NO_TLSv1_3);
    // OpenSSL 3's default security level refuses the signatures of TLS 1.0 and 1.1 outright, so
    // allowing those versions means lowering it; no certificate is verified anyway.
    if (options.allows(TIdSSLVersion::sslvTLSv1) || options.allows(TIdSSLVersion::sslvTLSv1_1))
        ssl.SSL_CTX_set_security_level(context, 0);
}

ContextPointer buildContext(const TIdSSLOptions& options) {
    const Api& ssl = api();
    ssl.ERR_clear_error();
    // The library's version-specific methods are deprecated; the negotiating method restricted to
    // one version by the options below offers the same version on the wire.
    ContextPointer context(ssl.SSL_CTX_new(ssl.TLS_client_method()));
    if (!context) throw EIdOSSLCreatingContextError(withLibraryError("Error creating SSL context."));
    allowVersions(ssl, context.get(), options);
    ssl.SSL_CTX_ctrl(context.get(), SSL_CTRL_MODE, SSL_MODE_AUTO_RETRY, nullptr);
    if (!options.CipherList.isEmpty() &&
        ssl.SSL_CTX_set_cipher_list(context.get(), options.CipherList.toLatin1().constData()) != 1) {
        ssl.ERR_clear_error();
        throw EIdOSSLSettingCipherError();
    }
    if (options.Verification.Strict) {
        ssl.SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
        loadTrust(context.get(), options.Verification.CAFile);
    }
    // The library's own cache is for servers; a client files its sessions by peer itself.
    ssl.SSL_CTX_ctrl(context.get(), SSL_CTRL_SET_SESS_CACHE_MODE,
                     SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE, nullptr);
    ssl.SSL_CTX_sess_set_new_cb(context.get(), keepNewSession);
    return context;
}

// Everything a context is built from. A CA file counts with its size and time, so that a file
// replaced while the program runs is read again.
QString contextKey(const TIdSSLOptions& options) {
    QString key = options.CipherList + QLatin1Char('|') + QString::number(static_cast<int>(options.Method()));
    for (TIdSSLVersion version : options.SSLVersions())
        key += QLatin1Char(',') + QString::number(static_cast<int>(version));
    if (options.Verification.Strict) {
        const QFileInfo caFile(options.Verification.CAFile);
        key += QStringLiteral("|strict|%1|%2|%3")
                   .arg(options.Verification.CAFile)
                   .arg(caFile.size())
                   .arg(caFile.lastModified().toMSecsSinceEpoch());
    }
    return key;
}

struct SharedContext {
    SSL_CTX* context;
    QString key;
};

// The contexts of the process, by their key.
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
// (the sessions it makes are filed in the process's session cache), and the library lets many
// threads create sessions from it at once. Building one is about a fifth of the client's work for
// a local handshake, so each distinct set of options gets one context for the life of the
// process. A failed build is not kept: the next connection tries again.
SharedContext sharedContext(const TIdSSLOptions& options) {
    QString key = contextKey(options);
    ContextCache& cache = contextCache();
    std::lock_guard lock(cache.mutex);
    SSL_CTX*& context = cache.contexts[key];
    if (!context) context = buildContext(options).release();
    return {context, std::move(key)};
}

// The expected name for strict verification: an address literal must be one of the
// certificate's IP addresses, any other name one of its DNS names (a wildcard covering a whole
// label at most).
void expectHost(SSL* session, const QByteArray& name) {
    // Without a name the library would check none, and accept a certificate for any host.
    if (name.isEmpty())
        throw EIdOSSLCertificateError(kCertificateRefused + QStringLiteral("no host name to check."));
    const Api& ssl = api();
    X509_VERIFY_PARAM* parameters = ssl.SSL_get0_param(session);
    ssl.X509_VERIFY_PARAM_set_hostflags(parameters, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (ssl.X509_VERIFY_PARAM_set1_ip_asc(parameters, name.constData()) == 1) return;
    ssl.ERR_clear_error();
    if (ssl.X509_VERIFY_PARAM_set1_host(parameters, name.constData(), name.size()) != 1)
        throw EIdOSSLCreatingSessionError(withLibraryError("Error creating SSL session."));
}

// Why the certificate was refused, in words a user can act on.
QString verificationFailureText(long code, const QByteArray& name) {
    switch (code) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return QStringLiteral("the certificate has expired");
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return QStringLiteral("the certificate is not valid yet");
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        return QStringLiteral("the certificate is self-signed");
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        return QStringLiteral("the certificate's issuer is unknown");
    case X509_V_ERR_HOSTNAME_MISMATCH:
        return QStringLiteral("the certificate is not for the host name \"%1\"")
            .arg(QString::fromLatin1(name));
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return QStringLiteral("the certificate is not for the address %1").arg(QString::fromLatin1(name));
    default:
        return QString::fromLatin1(api().X509_verify_cert_error_string(code));
    }
}

// A handshake that failed because the certificate was refused fails with the reason; the
// library's own text ("certificate verify failed") says less.
void raiseIfCertificateRefused(const SSL* session, const QByteArray& serverName) {
    const long verification = api().SSL_get_verify_result(session);
    if (verification == X509_V_OK) return;
    api().ERR_clear_error();
    throw EIdOSSLCertificateError(kCertificateRefused + verificationFailureText(verification, serverName) +
                                  QLatin1Char('.'));
}

} // namespace

struct OpenSSLSession::Impl {
    SharedContext shared;
    bool strict = false;
    // Declared before the session, whose application data points at it.
    Resumption resumption;
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
    impl_->shared = sharedContext(options);
    impl_->strict = options.Verification.Strict;
}

OpenSSLSession::~OpenSSLSession() = default;

void OpenSSLSession::handshake(TcpSocket& socket, const QByteArray& serverName, const QString& peer,
                               int timeoutMs) {
    const Api& ssl = api();
    ssl.ERR_clear_error();
    impl_->socket = &socket;
    impl_->session.reset(ssl.SSL_new(impl_->shared.context));
    SSL* session = impl_->session.get();
    if (!session) throw EIdOSSLCreatingSessionError(withLibraryError("Error creating SSL session."));
    if (ssl.SSL_set_fd(session, socket.descriptor()) != 1)
        throw EIdOSSLFDSetError(withLibraryError("Error setting File Descriptor for SSL"));
    // Sent even for an address literal. A name the extension cannot carry (over 255 bytes) is
    // left out rather than failing the connection.
    if (!serverName.isEmpty() &&
        ssl.SSL_ctrl(session, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                     const_cast<char*>(serverName.constData())) != 1)
        ssl.ERR_clear_error();
    if (impl_->strict) expectHost(session, serverName);
    offerCachedSession(serverName, peer);

    const Deadline deadline(timeoutMs);
    for (;;) {
        const SigpipeHeldBack held;
        errno = 0;
        const int result = ssl.SSL_connect(session);
        if (result == 1) break;
        const Failure failure = impl_->failureOf(result);
        if (isWant(failure.kind) && waitFor(failure.kind, socket, deadline)) continue;
        if (impl_->resumption.offered)
            sessionCache().discard(impl_->resumption.peer, impl_->resumption.offered);
        if (!isWant(failure.kind)) {
            if (impl_->strict) raiseIfCertificateRefused(session, serverName);
            raiseHandshakeFailure(failure);
        }
        throw EIdReadTimeout();
    }
    // A server that did not take the session would not take it next time either.
    if (impl_->resumption.offered && !resumed())
        sessionCache().discard(impl_->resumption.peer, impl_->resumption.offered);
    impl_->usable = true;
}

void OpenSSLSession::offerCachedSession(const QByteArray& serverName, const QString& peer) {
    const Api& ssl = api();
    SSL* session = impl_->session.get();
    Resumption& resumption = impl_->resumption;
    resumption.peer =
        impl_->shared.key + QLatin1Char('\n') + peer + QLatin1Char('\n') + QLatin1String(serverName);
    if (ssl.SSL_set_ex_data(session, 0, &resumption) != 1) {
        ssl.ERR_clear_error();
        return;
    }
    resumption.offered = sessionCache().take(resumption.peer);
    if (resumption.offered && ssl.SSL_set_session(session, resumption.offered.get()) != 1) {
        ssl.ERR_clear_error();
        resumption.offered.reset();
    }
}

bool OpenSSLSession::resumed() const {
    return impl_->session && api().SSL_session_reused(impl_->session.get()) == 1;
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
