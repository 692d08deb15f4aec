// libFuzzer target for the SOCKS 4, 4A and 5 handshakes, driven step by step as the tunnel does:
// every message the client writes, and every reply read in exactly the pieces it asks for.
//
// Input: a control byte (bits 0-1: SOCKS 5, 4A or 4), three lines (the target host, the user
// name and the password, as UTF-8), then the server's bytes.
//
// Besides crashes it checks what a SOCKS server relies on and what the client relies on: every
// message is framed as RFC 1928/1929 and the SOCKS 4 and 4A protocols frame it, whatever the
// names hold; a reply is never read from a closed stream; and a handshake that succeeds has read
// the server's reply exactly, so the next byte is the target's.
#include "fuzzcheck.h"
#include "protocols/socksexceptions.h"
#include "protocols/sockshandshake.h"

#include <QByteArray>
#include <QList>

namespace {

using fuzzcheck::require;
using hl::TSocksVersion;

constexpr quint32 kResolvedTarget = 0x7f000001;
// The longest piece any reply step may ask for: a SOCKS 5 bound name of 255 bytes and the port.
constexpr int kLongestReplyPiece = 255 + 2;

quint8 byteAt(const QByteArray& bytes, qsizetype index) {
    return static_cast<quint8>(bytes.at(index));
}

quint16 portAt(const QByteArray& bytes, qsizetype index) {
    return static_cast<quint16>(byteAt(bytes, index) << 8 | byteAt(bytes, index + 1));
}

// SOCKS 4: VN CD DSTPORT DSTIP USERID NUL, and for 4A (DSTIP 0.0.0.1) the host name and NUL.
void checkSocks4Request(const hl::SocksRequest& request, const QByteArray& message) {
    const bool socks4a = request.version == TSocksVersion::svSocks4A;
    require(message.size() >= 9 && byteAt(message, 0) == 4 && byteAt(message, 1) == 1,
            "a SOCKS 4 request starts with version 4 and CONNECT");
    require(portAt(message, 2) == request.targetPort, "a SOCKS 4 request names the target port");
    const quint32 address = quint32(byteAt(message, 4)) << 24 | quint32(byteAt(message, 5)) << 16 |
                            quint32(byteAt(message, 6)) << 8 | byteAt(message, 7);
    require(address == (socks4a ? 1u : request.targetAddress), "a SOCKS 4 request names the address");
    require(message.endsWith('\0') && message.mid(8).count('\0') == (socks4a ? 2 : 1),
            "the user id (and the SOCKS 4A host) are each one NUL-terminated string");
}

void checkSocks5Greeting(const hl::SocksRequest& request, const QByteArray& message) {
    const char method = request.username.isEmpty() ? 0 : 2;
    require(message == QByteArray() + char(5) + char(1) + method,
            "a SOCKS 5 greeting offers the one method the request needs");
}

// RFC 1929: VER ULEN UNAME PLEN PASSWD.
void checkCredentials(const QByteArray& message) {
    require(message.size() >= 3 && byteAt(message, 0) == 1, "credentials start with version 1");
    const int userLength = byteAt(message, 1);
    require(message.size() >= 3 + userLength, "the user name fits its length byte");
    require(message.size() == 3 + userLength + byteAt(message, 2 + userLength),
            "the password fits its length byte and ends the message");
}

// RFC 1928: VER CMD RSV ATYP DST.ADDR DST.PORT.
void checkConnectRequest(const hl::SocksRequest& request, const QByteArray& message) {
    require(message.size() >= 7 && message.startsWith(QByteArray("\x05\x01\x00", 3)),
            "a SOCKS 5 request starts with version 5, CONNECT and a zero byte");
    qsizetype expected = 0;
    switch (byteAt(message, 3)) {
    case 1:
        expected = 4 + 4 + 2;
        break;
    case 4:
        expected = 4 + 16 + 2;
        break;
    case 3:
        expected = 4 + 1 + byteAt(message, 4) + 2;
        break;
    default:
        require(false, "a SOCKS 5 request names an IPv4, IPv6 or name address");
    }
    require(message.size() == expected, "the address fits its type and the port ends the message");
    require(portAt(message, message.size() - 2) == request.targetPort,
            "a SOCKS 5 request names the target port");
}

void checkMessages(const hl::SocksRequest& request, const QList<QByteArray>& sent) {
    if (request.version != TSocksVersion::svSocks5) {
        require(sent.size() == 1, "SOCKS 4 sends one request");
        checkSocks4Request(request, sent[0]);
        return;
    }
    qsizetype next = 0;
    checkSocks5Greeting(request, sent.value(next++));
    if (!request.username.isEmpty() && next < sent.size()) checkCredentials(sent[next++]);
    if (next < sent.size()) checkConnectRequest(request, sent[next++]);
    require(next == sent.size(), "SOCKS 5 sends greeting, credentials and request, no more");
}

// The length of a successful reply by the protocols' own layout, read from the server's bytes.
qsizetype replyLength(const hl::SocksRequest& request, const QByteArray& server) {
    if (request.version != TSocksVersion::svSocks5) return 8;
    const qsizetype connectReply = 2 + (request.username.isEmpty() ? 0 : 2);
    switch (byteAt(server, connectReply + 3)) {
    case 1:
        return connectReply + 4 + 4 + 2;
    case 4:
        return connectReply + 4 + 16 + 2;
    default:
        return connectReply + 4 + 1 + byteAt(server, connectReply + 4) + 2;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QList<QByteArray> fields;
    qsizetype at = 0;
    while (fields.size() < 3) {
        const qsizetype end = input.indexOf('\n', at);
        if (end < 0) return 0;
        fields.append(input.mid(at, end - at));
        at = end + 1;
    }
    const QByteArray server = input.mid(at);

    static constexpr TSocksVersion kVersions[] = {TSocksVersion::svSocks5, TSocksVersion::svSocks4A,
                                                  TSocksVersion::svSocks4, TSocksVersion::svSocks5};
    hl::SocksRequest request;
    request.version = kVersions[data[0] & 3];
    request.targetHost = QString::fromUtf8(fields[0]);
    request.username = QString::fromUtf8(fields[1]);
    request.password = QString::fromUtf8(fields[2]);
    request.targetPort = static_cast<quint16>(data[0] << 8 | 0x50);
    request.targetAddress = kResolvedTarget;

    hl::SocksHandshake steps(request);
    QList<QByteArray> sent;
    qsizetype consumed = 0;
    bool succeeded = false;
    try {
        while (!steps.done()) {
            if (steps.sending()) {
                sent.append(steps.outgoing());
                continue;
            }
            const int piece = steps.expected();
            require(piece > 0 && piece <= kLongestReplyPiece, "a reply step asks for 1 to 257 bytes");
            // The server closed before the whole reply: the tunnel's read fails there.
            if (consumed + piece > server.size()) break;
            steps.received(server.mid(consumed, piece));
            consumed += piece;
        }
        succeeded = steps.done();
    } catch (const hl::EIdSocksError&) {
        // A refusal the reply stands for; the error reaches the logs.
    }
    checkMessages(request, sent);
    if (succeeded)
        require(consumed == replyLength(request, server),
                "a successful handshake reads the whole reply, no more");
    return 0;
}
