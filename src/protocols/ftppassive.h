#pragma once
// The passive-mode rules of the FTP client as pure functions: reading the address and port from a
// PASV reply (or the port from an EPSV reply), and choosing where the data connection goes when a
// server behind address translation reports its private address.
#include <QString>
#include <QtGlobal>
#include <optional>

namespace hl {

struct PassiveEndpoint {
    quint32 address = 0; // IPv4, host byte order
    quint16 port = 0;
};

// The endpoint of a PASV reply's first text line. The line is trimmed; the numbers are taken
// between "(" and ")" (without "(" from after the last space, without ")" to the end). The first
// four comma-separated numbers are the address, the next two the port (first * 256 + second).
// Nothing when there are fewer than six numbers, a number is outside 0-255 or the port is 0.
std::optional<PassiveEndpoint> parsePasvReply(const QString& firstLine);

// The port of an EPSV reply's first text line (RFC 2428): "(" then three equal delimiter
// characters, the port in decimal and the delimiter again, then ")", as in
// "Entering Extended Passive Mode (|||6446|)". Nothing when the line holds no such part or the
// port is outside 1-65535.
std::optional<quint16> parseEpsvReply(const QString& firstLine);

// 127/8, 10/8, 169.254/16, 192.168/16 and 172.16/12: addresses that only mean something inside
// the server's own network.
bool isPrivateIPv4(quint32 address);

// Where the data connection goes. A private address reported by a server whose control peer is
// not private is replaced by that peer: the server sits behind address translation and names its
// inside address. controlPeer is an IPv4 literal, or the server's name when the control connection
// runs through a tunnel (a name counts as not private).
QString passiveDataHost(quint32 reportedAddress, const QString& controlPeer);

// "a.b.c.d" for an IPv4 address in host byte order.
QString ipv4Text(quint32 address);

} // namespace hl
