#include "protocols/ftpreply.h"

#include "protocols/idexceptions.h"

#include <algorithm>
#include <limits>

namespace hl {

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool startsWithCode(const QString& line) {
    return line.size() >= 3 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]);
}

QString withoutLeadingBlanks(const QString& line) {
    qsizetype i = 0;
    while (i < line.size() && line[i].isSpace())
        ++i;
    return line.mid(i);
}

} // namespace

bool FtpReply::isOneOf(std::initializer_list<int> codes) const {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

bool FtpReplyParser::addLine(const QString& line) {
    if (complete_) return true;
    if (++linesSeen_ > kMaxLines) throw EIdFTPReplyTooLong();
    if (line.isEmpty()) return false;

    if (!started_) {
        started_ = true;
        if (!startsWithCode(line)) {
            // Not a reply at all: keep the line as the text, so a reply error shows what came.
            reply_.text.append(withoutLeadingBlanks(line));
            complete_ = true;
            return true;
        }
        codeText_ = line.left(3);
        reply_.code = codeText_.toInt();
        reply_.text.append(line.mid(4));
        complete_ = !(line.size() >= 4 && line[3] == QLatin1Char('-'));
        return complete_;
    }

    if (line.startsWith(codeText_)) {
        reply_.text.append(line.mid(4));
        complete_ = line.size() == 3 || line[3] == QLatin1Char(' ');
    } else {
        reply_.text.append(withoutLeadingBlanks(line));
    }
    return complete_;
}

QString ftpReplyErrorText(const FtpReply& reply) {
    QString message;
    for (const auto& line : reply.text)
        message += line + QStringLiteral("\r\n");
    return message;
}

QStringList ftpFeatureList(const FtpReply& feat) {
    QStringList features;
    if (feat.code != 211 && feat.code != 221) return features;
    for (qsizetype i = 1; i + 1 < feat.text.size(); ++i)
        features.append(feat.text[i].trimmed());
    return features;
}

bool ftpHasFeature(const QStringList& features, const QString& name) {
    return std::any_of(features.begin(), features.end(), [&](const QString& line) {
        return line.compare(name, Qt::CaseInsensitive) == 0 ||
               (line.size() > name.size() && line.startsWith(name, Qt::CaseInsensitive) &&
                line[name.size()] == QLatin1Char(' '));
    });
}

qint64 ftpSizeFromReply(const FtpReply& reply) {
    if (reply.code != 213 || reply.text.isEmpty()) return -1;
    QString text = reply.text.first().trimmed();
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space >= 0) text = text.mid(space + 1);
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), isDigit)) return -1;
    bool ok = false;
    const qint64 size = text.toLongLong(&ok);
    return ok ? size : -1;
}

} // namespace hl
