#pragma once
// A scripted FTP server for exact wire cases: a control session that answers every command by its
// verb from a table (a plain anonymous server unless the test says otherwise), and a data server
// that the PASV reply points at.
#include "support/qtprinters.h"
#include "support/scriptedserver.h"

#include <QByteArray>
#include <QList>
#include <map>

namespace hl::test {

struct FtpScript {
    QByteArray greeting = "220 Scripted server ready";
    // Replies by whole command line or by verb (upper case), overriding the defaults. Several
    // replies to one command are separated by CRLF; "<close>" hangs up instead of answering.
    std::map<QByteArray, QByteArray> replies = {};
};

// "227 Entering Passive Mode (a,b,c,d,p1,p2)".
QByteArray pasvReply(quint32 address, quint16 port);
// "229 Entering Extended Passive Mode (|||port|)".
QByteArray epsvReply(quint16 port);

// Runs one control session on the connection: the greeting, then one answer per command until
// QUIT, "<close>" or the client's close. PASV is answered with 127.0.0.1:pasvPort and EPSV with
// pasvPort unless the script gives its own reply.
void serveFtpSession(ScriptedConnection& connection, const FtpScript& script, quint16 pasvPort);

// The command lines of a control connection's input, without line ends.
QList<QByteArray> commandLines(const QByteArray& received);

// A data script that sends bytes and closes.
ScriptedServer::Script sendData(const QByteArray& bytes);

class ScriptedFtpServer {
public:
    // Control and data server listen on address (127.0.0.1 or ::1).
    ScriptedFtpServer(FtpScript script, ScriptedServer::Script dataScript,
                      const QString& address = QStringLiteral("127.0.0.1"));

    quint16 port() const { return control_.port(); }
    quint16 dataPort() const { return data_.port(); }
    // The commands control connection `index` received; waits (up to 10 s) for every session so far
    // to end.
    QList<QByteArray> commands(int index = 0);
    int connectionCount() const { return control_.connectionCount(); }
    int dataConnectionCount() const { return data_.connectionCount(); }

private:
    FtpScript script_;
    ScriptedServer data_;
    ScriptedServer control_;
};

} // namespace hl::test
