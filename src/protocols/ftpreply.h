#pragma once
// FTP control replies as pure functions over text: assembling one reply from its lines, the text
// that a reply error carries, the capability list of FEAT and the byte count of SIZE. Nothing here
// touches a socket, so every rule can be fed line by line (tests, fuzzing).
#include <QString>
#include <QStringList>
#include <initializer_list>

namespace hl {

struct FtpReply {
    // The three digits of the first line, or -1 when it does not start with three digits.
    int code = -1;
    // The reply's text: from the first line and every line that starts with the code, the four
    // characters of code and separator removed; every other line without its leading blanks.
    QStringList text;

    bool isOneOf(std::initializer_list<int> codes) const;
};

// Assembles one reply from the lines of the control connection as they arrive. A reply is one
// line "ddd text", or a first line "ddd-text" followed by any lines up to one that starts with
// "ddd " or is just "ddd".
class FtpReplyParser {
public:
    // No real server needs this many lines for one reply; a peer that goes on is cut off.
    static constexpr int kMaxLines = 1000;

    // Feeds one line without its line end. Empty lines are skipped (some servers send them before
    // and inside replies) but count towards kMaxLines. Returns true when the line completed the
    // reply. Throws EIdFTPReplyTooLong past kMaxLines lines.
    bool addLine(const QString& line);
    bool complete() const { return complete_; }
    const FtpReply& reply() const { return reply_; }

private:
    FtpReply reply_;
    QString codeText_;
    int linesSeen_ = 0;
    bool started_ = false;
    bool complete_ = false;
};

// The message of a reply error: every text line followed by CRLF.
QString ftpReplyErrorText(const FtpReply& reply);

// The capability list of a FEAT reply: for a 211 or 221 reply, its trimmed text lines other than
// the first and the last; empty for any other reply.
QStringList ftpFeatureList(const FtpReply& feat);

// Whether a capability list names a feature: a line equal to it or starting with it and a space,
// in any letter case ("REST STREAM" names "REST").
bool ftpHasFeature(const QStringList& features, const QString& name);

// The size a SIZE reply reports: for a 213 reply its trimmed text, with everything up to and
// including its first space removed when it has one, read as a decimal number; -1 for any other
// reply or a text that is not a number.
qint64 ftpSizeFromReply(const FtpReply& reply);

} // namespace hl
