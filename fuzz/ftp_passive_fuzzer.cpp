// libFuzzer target for the passive-mode rules of the FTP client: the address and port of a PASV
// reply's text, the port of an EPSV reply's text (sent on an IPv6 control connection), and where
// the data connection goes for a PASV address and the control peer.
//
// Input: the reply's first text line, a line feed, then the control peer (an address or a name).
// Both readers get the line. Besides crashes it checks that an accepted reply names a port that
// can be connected to, reads the same from the reply a server would write for that endpoint, and
// that the data connection goes either to the reported address or, for a private address from a
// public peer, to the peer.
#include "fuzzcheck.h"
#include "protocols/ftppassive.h"
#include "protocols/hostresolver.h"

#include <QByteArray>
#include <QString>

using fuzzcheck::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = input.indexOf('\n');
    // The control connection reads 8-bit text until the server switches it to UTF-8.
    const QByteArray reply = split < 0 ? input : input.left(split);
    const QString controlPeer = QString::fromLatin1(split < 0 ? QByteArray() : input.mid(split + 1));

    for (const QString& line : {QString::fromLatin1(reply), QString::fromUtf8(reply)}) {
        const auto endpoint = hl::parsePasvReply(line);
        if (!endpoint) continue;
        require(endpoint->port != 0, "an accepted PASV reply names a port other than 0");

        const QString address = hl::ipv4Text(endpoint->address);
        require(hl::parseIPv4Literal(address) == endpoint->address,
                "the address text reads back as the address");
        const QString canonical = QStringLiteral("Entering Passive Mode (%1,%2,%3).")
                                      .arg(QString(address).replace(QLatin1Char('.'), QLatin1Char(',')))
                                      .arg(endpoint->port >> 8)
                                      .arg(endpoint->port & 0xFF);
        const auto reread = hl::parsePasvReply(canonical);
        require(reread && reread->address == endpoint->address && reread->port == endpoint->port,
                "the reply a server writes for the endpoint reads back as the endpoint");

        const QString dataHost = hl::passiveDataHost(endpoint->address, controlPeer);
        require(dataHost == address || (dataHost == controlPeer && hl::isPrivateIPv4(endpoint->address)),
                "the data connection goes to the reported address, or to the peer for a private one");
    }

    for (const QString& line : {QString::fromLatin1(reply), QString::fromUtf8(reply)}) {
        const auto port = hl::parseEpsvReply(line);
        if (!port) continue;
        require(*port != 0, "an accepted EPSV reply names a port other than 0");
        const QString canonical = QStringLiteral("Entering Extended Passive Mode (|||%1|)").arg(*port);
        require(hl::parseEpsvReply(canonical) == port,
                "the reply a server writes for the port reads back as it");
        // The port stands between the delimiters that follow the first "(", as the reply wrote it.
        const qsizetype open = line.indexOf(QLatin1Char('('));
        require(open >= 0, "an accepted EPSV reply has an opening parenthesis");
        const QChar delimiter = line[open + 1];
        const QString written = line.mid(open + 4, line.indexOf(delimiter, open + 4) - open - 4);
        require(written.toUInt() == *port, "the port is the number written between the delimiters");
    }
    return 0;
}
