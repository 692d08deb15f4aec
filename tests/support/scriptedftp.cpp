#include "support/scriptedftp.h"

namespace hl::test {

namespace {

const std::map<QByteArray, QByteArray>& defaultReplies() {
    static const std::map<QByteArray, QByteArray> replies = {
        {"HOST", "500 Command not understood."},
        {"USER", "331 Anonymous login ok, send password."},
        {"PASS", "230 Logged in."},
        {"FEAT", "211 No features."},
        {"TYPE", "200 Type set."},
        {"SYST", "215 UNIX Type: L8"},
        {"REST", "350 Restarting."},
        {"SIZE", "550 Could not get file size."},
        {"RETR", "150 Opening BINARY mode data connection.\r\n226 Transfer complete."},
        {"ABOR", "225 ABOR command successful."},
        {"QUIT", "221 Goodbye."},
    };
    return replies;
}

} // namespace

QByteArray pasvReply(quint32 address, quint16 port) {
    return QStringLiteral("227 Entering Passive Mode (%1,%2,%3,%4,%5,%6)")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF)
        .arg(port >> 8)
        .arg(port & 0xFF)
        .toLatin1();
}

QByteArray epsvReply(quint16 port) {
    return "229 Entering Extended Passive Mode (|||" + QByteArray::number(port) + "|)";
}

void serveFtpSession(ScriptedConnection& connection, const FtpScript& script, quint16 pasvPort) {
    connection.send(script.greeting + "\r\n");
    for (;;) {
        const QByteArray command = connection.readLine().trimmed();
        if (command.isEmpty()) return;
        const QByteArray verb = command.split(' ').first().toUpper();
        QByteArray reply = "500 Unknown command.";
        if (auto exact = script.replies.find(command); exact != script.replies.end())
            reply = exact->second;
        else if (auto own = script.replies.find(verb); own != script.replies.end())
            reply = own->second;
        else if (verb == "PASV")
            reply = pasvReply(0x7F000001u, pasvPort);
        else if (verb == "EPSV")
            reply = epsvReply(pasvPort);
        else if (auto standard = defaultReplies().find(verb); standard != defaultReplies().end())
            reply = standard->second;
        if (reply == "<close>") return;
        connection.send(reply + "\r\n");
        if (verb == "QUIT") return;
    }
}

QList<QByteArray> commandLines(const QByteArray& received) {
    QList<QByteArray> lines;
    for (const QByteArray& line : received.split('\n'))
        if (!line.isEmpty()) lines.append(line.endsWith('\r') ? line.chopped(1) : line);
    return lines;
}

ScriptedServer::Script sendData(const QByteArray& bytes) {
    return [bytes](ScriptedConnection& connection) { connection.send(bytes); };
}

ScriptedFtpServer::ScriptedFtpServer(FtpScript script, ScriptedServer::Script dataScript,
                                     const QString& address)
    : script_(std::move(script)), data_(std::move(dataScript), address),
      control_([this](ScriptedConnection& c) { serveFtpSession(c, script_, data_.port()); }, address) {}

QList<QByteArray> ScriptedFtpServer::commands(int index) {
    control_.waitForScripts(control_.connectionCount());
    const auto received = control_.received();
    return index < static_cast<int>(received.size()) ? commandLines(received[index]) : QList<QByteArray>();
}

} // namespace hl::test
