#pragma once
// The SOCKS 4, 4A and 5 client handshakes as explicit steps, free of I/O. The driver writes what
// outgoing() returns in a sending step, and in a reading step reads exactly expected() bytes and
// hands them to received(), until done(). So a test can feed a handshake its replies step by step.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace hl {

enum class TSocksVersion { svNoSocks, svSocks4, svSocks4A, svSocks5 };

// What one handshake asks the SOCKS server for.
struct SocksRequest {
    TSocksVersion version = TSocksVersion::svSocks5; // never svNoSocks
    // SOCKS 4: the user id. SOCKS 5: credentials, offered whenever username is not empty.
    QString username;
    QString password;
    QString targetHost;
    quint16 targetPort = 0;
    // SOCKS 4 only: the target as resolved by the client (host byte order).
    quint32 targetAddress = 0;
};

class SocksHandshake {
public:
    enum class Step {
        SendSocks4Request,
        ReadSocks4Reply,
        SendGreeting,
        ReadGreetingReply,
        SendCredentials,
        ReadCredentialsReply,
        SendConnectRequest,
        ReadConnectReply,       // the first 5 bytes: version, code, reserved, address type, 1st address byte
        ReadRestOfConnectReply, // the rest of the bound address and the port, by address type
        Done,
    };

    explicit SocksHandshake(SocksRequest request);

    Step step() const { return step_; }
    bool done() const { return step_ == Step::Done; }
    bool sending() const;

    // In a sending step: the whole message, to be written at once. Moves on to reading its reply.
    QByteArray outgoing();
    // In a reading step: how many bytes of the reply it needs.
    int expected() const { return expected_; }
    // In a reading step: exactly expected() bytes. Moves on, or throws the SOCKS error the reply
    // stands for (socksexceptions.h).
    void received(const QByteArray& reply);

private:
    QByteArray socks4Request() const;
    QByteArray credentials() const;
    QByteArray connectRequest() const;
    void checkConnectReply(const QByteArray& reply);

    SocksRequest request_;
    quint8 method_;
    Step step_;
    int expected_ = 0;
};

} // namespace hl
