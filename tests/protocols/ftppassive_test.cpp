#include "protocols/ftppassive.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(FtpPassive, ParsesTheAddressAndPortOfAPasvReply) {
    const struct {
        const char* line;
        bool valid;
        const char* address;
        quint16 port;
    } cases[] = {
        {"Entering Passive Mode (192,168,0,5,19,137)", true, "192.168.0.5", 5001},
        {"  Entering Passive Mode (127,0,0,1,187,55).  ", true, "127.0.0.1", 47927},
        {"Entering Passive Mode 10,1,2,3,0,21", true, "10.1.2.3", 21},
        {"Entering Passive Mode (10,1,2,3,4,5", true, "10.1.2.3", 1029},
        {"=( 1, 2, 3, 4, 5, 6 )", true, "1.2.3.4", 1286},
        {"(1,2,3,4,5,6,7)", true, "1.2.3.4", 1286},
        {"Entering Passive Mode (1,2,3,4,5)", false, "", 0},
        {"Entering Passive Mode (1,2,3,256,5,6)", false, "", 0},
        {"Entering Passive Mode (1,2,3,4,x,6)", false, "", 0},
        {"Entering Passive Mode (1,2,3,4,-1,6)", false, "", 0},
        {"Entering Passive Mode (1,2,3,4,0,0)", false, "", 0},
        {"Entering Passive Mode", false, "", 0},
        {"", false, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto endpoint = parsePasvReply(QString::fromLatin1(c.line));
        ASSERT_EQ(endpoint.has_value(), c.valid);
        if (!c.valid) continue;
        EXPECT_EQ(ipv4Text(endpoint->address), QLatin1String(c.address));
        EXPECT_EQ(endpoint->port, c.port);
    }
}

TEST(FtpPassive, ParsesThePortOfAnEpsvReply) {
    const struct {
        const char* line;
        int port; // 0: not valid
    } cases[] = {
        {"Entering Extended Passive Mode (|||6446|)", 6446},
        {"Entering Extended Passive Mode (!!!1!)", 1},
        {"EPSV ok (|||65535|).", 65535},
        {"Entering Extended Passive Mode (|||65536|)", 0},
        {"Entering Extended Passive Mode (|||0|)", 0},
        {"Entering Extended Passive Mode (|||-1|)", 0},
        {"Entering Extended Passive Mode (|||+80|)", 0},
        {"Entering Extended Passive Mode (|||6446)", 0},
        {"Entering Extended Passive Mode (||6446|)", 0},
        {"Entering Extended Passive Mode (|2|::1|6446|)", 0},
        {"Entering Extended Passive Mode (111801)", 0},
        {"Entering Extended Passive Mode (|||||)", 0},
        {"Entering Extended Passive Mode", 0},
        {"(", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto port = parseEpsvReply(QString::fromLatin1(c.line));
        ASSERT_EQ(port.has_value(), c.port != 0);
        if (port) {
            EXPECT_EQ(*port, c.port);
        }
    }
}

TEST(FtpPassive, PrivateAddressFromAPublicPeerIsReplacedByThePeer) {
    const struct {
        const char* reported;
        const char* peer;
        const char* expected;
    } cases[] = {
        {"192.168.0.5", "203.0.113.9", "203.0.113.9"},
        {"10.0.0.1", "198.51.100.1", "198.51.100.1"},
        {"127.0.0.1", "198.51.100.1", "198.51.100.1"},
        {"169.254.3.4", "198.51.100.1", "198.51.100.1"},
        {"172.16.0.1", "198.51.100.1", "198.51.100.1"},
        {"172.31.255.1", "198.51.100.1", "198.51.100.1"},
        {"172.15.0.1", "198.51.100.1", "172.15.0.1"}, // just below the private block
        {"172.32.0.1", "198.51.100.1", "172.32.0.1"}, // just above it
        {"169.253.0.1", "198.51.100.1", "169.253.0.1"},
        {"192.169.0.1", "198.51.100.1", "192.169.0.1"},
        {"198.51.100.7", "203.0.113.9", "198.51.100.7"}, // public: taken as reported
        {"192.168.0.5", "10.0.0.2", "192.168.0.5"},      // both private: same network
        {"127.0.0.1", "127.0.0.1", "127.0.0.1"},
        {"192.168.0.5", "ftp.example.net", "ftp.example.net"}, // a name through a tunnel
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.reported) + " from " + c.peer);
        const auto endpoint =
            parsePasvReply(QStringLiteral("(%1,1,1)").arg(QString::fromLatin1(c.reported).replace('.', ',')));
        ASSERT_TRUE(endpoint);
        EXPECT_EQ(passiveDataHost(endpoint->address, QString::fromLatin1(c.peer)), QLatin1String(c.expected));
    }
}

} // namespace
} // namespace hl
