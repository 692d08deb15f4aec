#include "protocols/sockshandshake.h"

#include "protocols/asciitext.h"
#include "protocols/ipaddress.h"
#include "protocols/socksexceptions.h"

namespace hl {

namespace {

constexpr quint8 kSocks4Version = 4;
constexpr quint8 kSocks5Version = 5;
constexpr quint8 kCommandConnect = 1;
constexpr quint8 kSocks4Granted = 90;
constexpr quint8 kOfferedMethodCount = 1;
constexpr quint8 kMethodNone = 0;
constexpr quint8 kMethodUserPassword = 2;
constexpr quint8 kUserPasswordVersion = 1;
constexpr quint8 kAddressIPv4 = 1;
constexpr quint8 kAddressName = 3;
constexpr quint8 kAddressIPv6 = 4;
constexpr int kMaxFieldLength = 255;

void appendPort(QByteArray& bytes, quint16 port) {
    bytes.append(static_cast<char>(port >> 8));
    bytes.append(static_cast<char>(port & 0xFF));
}

void appendIPv4(QByteArray& bytes, quint32 address) {
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((address >> shift) & 0xFF));
}

// A length byte and the text as 7-bit ASCII, cut to what the length byte can say.
void appendShortField(QByteArray& bytes, const QString& text) {
    const QByteArray ascii = toSevenBitAscii(text).left(kMaxFieldLength);
    bytes.append(static_cast<char>(ascii.size()));
    bytes.append(ascii);
}

// A SOCKS 4 string: the text as 7-bit ASCII and its terminating NUL. A NUL inside the text would
// end the string early and the server would take the rest for the target's data; it goes as "?",
// as every character that cannot be sent does.
QByteArray nulTerminated(const QString& text) {
    QByteArray bytes = toSevenBitAscii(text);
    bytes.replace('\0', '?');
    return bytes.append('\0');
}

quint8 byteAt(const QByteArray& bytes, int index) {
    return static_cast<quint8>(bytes.at(index));
}

[[noreturn]] void raiseSocks4Reply(quint8 code) {
    switch (code) {
    case 91:
        throw EIdSocksRequestFailed();
    case 92:
        throw EIdSocksRequestServerFailed();
    case 93:
        throw EIdSocksRequestIdentFailed();
    default:
        throw EIdSocksUnknownError();
    }
}

[[noreturn]] void raiseSocks5Reply(quint8 code) {
    switch (code) {
    case 1:
        throw EIdSocksServerGeneralError();
    case 2:
        throw EIdSocksServerPermissionError();
    case 3:
        throw EIdSocksServerNetUnreachableError();
    case 4:
        throw EIdSocksServerHostUnreachableError();
    case 5:
        throw EIdSocksServerConnectionRefusedError();
    case 6:
        throw EIdSocksServerTTLExpiredError();
    case 7:
        throw EIdSocksServerCommandError();
    case 8:
        throw EIdSocksServerAddressError();
    default:
        throw EIdSocksUnknownError();
    }
}

} // namespace

SocksHandshake::SocksHandshake(SocksRequest request)
    : request_(std::move(request)), method_(request_.username.isEmpty() ? kMethodNone : kMethodUserPassword),
      step_(request_.version == TSocksVersion::svSocks5 ? Step::SendGreeting : Step::SendSocks4Request) {
    Q_ASSERT(request_.version != TSocksVersion::svNoSocks);
}

bool SocksHandshake::sending() const {
    return step_ == Step::SendSocks4Request || step_ == Step::SendGreeting ||
           step_ == Step::SendCredentials || step_ == Step::SendConnectRequest;
}

QByteArray SocksHandshake::outgoing() {
    Q_ASSERT(sending());
    switch (step_) {
    case Step::SendSocks4Request:
        step_ = Step::ReadSocks4Reply;
        expected_ = 8;
        return socks4Request();
    case Step::SendGreeting:
        step_ = Step::ReadGreetingReply;
        expected_ = 2;
        return QByteArray{} + char(kSocks5Version) + char(kOfferedMethodCount) + char(method_);
    case Step::SendCredentials:
        step_ = Step::ReadCredentialsReply;
        expected_ = 2;
        return credentials();
    case Step::SendConnectRequest:
    default:
        step_ = Step::ReadConnectReply;
        expected_ = 5;
        return connectRequest();
    }
}

void SocksHandshake::received(const QByteArray& reply) {
    Q_ASSERT(!sending() && !done() && reply.size() == expected_);
    switch (step_) {
    case Step::ReadSocks4Reply:
        // Only the status byte matters; the rest of the reply is the bound address, unused.
        if (byteAt(reply, 1) != kSocks4Granted) raiseSocks4Reply(byteAt(reply, 1));
        step_ = Step::Done;
        break;
    case Step::ReadGreetingReply:
        // A server that accepts none of the offered methods answers 255.
        if (byteAt(reply, 1) != method_) throw EIdSocksAuthMethodError();
        step_ = method_ == kMethodUserPassword ? Step::SendCredentials : Step::SendConnectRequest;
        break;
    case Step::ReadCredentialsReply:
        if (byteAt(reply, 1) != 0) throw EIdSocksAuthError();
        step_ = Step::SendConnectRequest;
        break;
    case Step::ReadConnectReply:
        checkConnectReply(reply);
        break;
    case Step::ReadRestOfConnectReply:
    default:
        step_ = Step::Done;
        break;
    }
}

// The bound address that follows is of no use, but it must be consumed whole: its bytes would
// otherwise be taken for the start of the target's data.
void SocksHandshake::checkConnectReply(const QByteArray& reply) {
    if (byteAt(reply, 1) != 0) raiseSocks5Reply(byteAt(reply, 1));
    constexpr int kPortLength = 2;
    switch (byteAt(reply, 3)) {
    case kAddressIPv4:
        expected_ = 4 - 1 + kPortLength;
        break;
    case kAddressIPv6:
        expected_ = 16 - 1 + kPortLength;
        break;
    case kAddressName:
        expected_ = byteAt(reply, 4) + kPortLength;
        break;
    // An address of unknown length leaves no way to tell where the target's data begins.
    default:
        throw EIdSocksUnknownError();
    }
    step_ = Step::ReadRestOfConnectReply;
}

QByteArray SocksHandshake::socks4Request() const {
    QByteArray bytes;
    bytes.append(char(kSocks4Version)).append(char(kCommandConnect));
    appendPort(bytes, request_.targetPort);
    // SOCKS 4A asks the server to resolve: an address 0.0.0.x with x non-zero, then the name.
    const bool serverResolves = request_.version == TSocksVersion::svSocks4A;
    appendIPv4(bytes, serverResolves ? 1 : request_.targetAddress);
    bytes.append(nulTerminated(request_.username));
    if (serverResolves) bytes.append(nulTerminated(request_.targetHost));
    return bytes;
}

QByteArray SocksHandshake::credentials() const {
    QByteArray bytes(1, char(kUserPasswordVersion));
    appendShortField(bytes, request_.username);
    appendShortField(bytes, request_.password);
    return bytes;
}

QByteArray SocksHandshake::connectRequest() const {
    QByteArray bytes;
    bytes.append(char(kSocks5Version)).append(char(kCommandConnect)).append('\0');
    const auto literal = IpAddress::parse(request_.targetHost);
    if (literal && !literal->isIPv6()) {
        bytes.append(char(kAddressIPv4));
        appendIPv4(bytes, literal->ipv4());
    } else if (literal) {
        const auto& ipv6 = literal->ipv6();
        bytes.append(char(kAddressIPv6)).append(reinterpret_cast<const char*>(ipv6.data()), int(ipv6.size()));
    } else {
        bytes.append(char(kAddressName));
        appendShortField(bytes, request_.targetHost);
    }
    appendPort(bytes, request_.targetPort);
    return bytes;
}

} // namespace hl
