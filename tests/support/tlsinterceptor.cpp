#include "support/tlsinterceptor.h"

#include "protocols/tcpsocket.h"
#include "support/scriptedserver.h"

#include <poll.h>
#include <sys/socket.h>

namespace hl::test {

namespace {

constexpr char kApplicationData = 23;
constexpr int kRecordHeaderSize = 5;

// Follows the client's record stream across reads: a record is a 5-byte header (type, version,
// length) and its body.
class ClientRecords {
public:
    // Whether bytes complete an application-data record.
    bool applicationDataIn(const char* bytes, qsizetype count) {
        pending_.append(bytes, count);
        for (;;) {
            if (pending_.size() < kRecordHeaderSize) return false;
            const int length =
                (static_cast<unsigned char>(pending_[3]) << 8) | static_cast<unsigned char>(pending_[4]);
            if (pending_.size() < kRecordHeaderSize + length) return false;
            if (pending_[0] == kApplicationData) return true;
            pending_.remove(0, kRecordHeaderSize + length);
        }
    }

private:
    QByteArray pending_;
};

} // namespace

bool relayHandshakeThenReply(ScriptedConnection& client, quint16 serverPort, const QByteArray& reply) {
    TcpSocket server;
    server.connect(0x7F000001, serverPort, 5000);
    pollfd ends[2] = {{client.descriptor(), POLLIN, 0}, {server.descriptor(), POLLIN, 0}};
    ClientRecords records;
    char buffer[16384];
    for (;;) {
        if (::poll(ends, 2, 5000) <= 0) return false;
        for (int i = 0; i < 2; ++i) {
            if (!ends[i].revents) continue;
            const ssize_t n = ::recv(ends[i].fd, buffer, sizeof buffer, 0);
            if (n <= 0) return false;
            if (i == 0 && records.applicationDataIn(buffer, n)) {
                client.send(reply);
                return true;
            }
            if (::send(ends[1 - i].fd, buffer, n, MSG_NOSIGNAL) != n) return false;
        }
    }
}

} // namespace hl::test
