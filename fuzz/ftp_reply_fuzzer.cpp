// libFuzzer target for what the FTP client reads from a server's control connection: reply
// assembly, reply error text, FEAT capability lists, SIZE and PASV replies and the passive
// address rule. Input: the bytes of the control connection, split into lines as the client does.
#include "protocols/ftppassive.h"
#include "protocols/ftpreply.h"
#include "protocols/idexceptions.h"

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> lines = input.split('\n');
    qsizetype next = 0;
    while (next < lines.size()) {
        hl::FtpReplyParser parser;
        try {
            while (next < lines.size()) {
                QByteArray line = lines[next++];
                if (line.endsWith('\r')) line.chop(1);
                // The control connection starts in 8-bit mode and may switch to UTF-8.
                const QString text = (next % 2) ? QString::fromLatin1(line) : QString::fromUtf8(line);
                if (parser.addLine(text)) break;
            }
        } catch (const hl::EIdFTPReplyTooLong&) {
            continue;
        }
        const hl::FtpReply& reply = parser.reply();
        (void)hl::ftpReplyErrorText(reply);
        (void)hl::ftpHasFeature(hl::ftpFeatureList(reply), QStringLiteral("UTF8"));
        (void)hl::ftpSizeFromReply(reply);
        if (const auto endpoint = hl::parsePasvReply(reply.text.value(0)))
            (void)hl::passiveDataHost(endpoint->address, reply.text.value(1));
    }
    return 0;
}
