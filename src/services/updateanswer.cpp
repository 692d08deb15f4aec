#include "services/updateanswer.h"

#include <QRegularExpression>
#include <limits>

namespace hl {

QStringList AnswerLines(const QString& answer) {
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));
    QStringList lines = answer.split(lineBreak);
    if (lines.size() > 1 && lines.constLast().isEmpty()) lines.removeLast();
    if (answer.isEmpty()) lines.clear();
    return lines;
}

QString GetTagValue(QStringView line, QStringView tag) {
    if (line.isEmpty() || tag.isEmpty()) return {};
    const QString name = tag.toString().toLower();
    const QString opening = QLatin1Char('<') + name + QLatin1Char('>');
    const QString closing = QStringLiteral("</") + name + QLatin1Char('>');
    if (line.size() < opening.size() + closing.size() || !line.startsWith(opening) || !line.endsWith(closing))
        return {};
    return line.sliced(opening.size(), line.size() - opening.size() - closing.size()).toString();
}

bool IsPublishedVersionNumber(QStringView version) {
    qint64 value = 0;
    bool anyDigit = false;
    for (const QChar c : version) {
        if (c == QLatin1Char('.')) continue;
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        anyDigit = true;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<qint32>::max()) return false;
    }
    return anyDigit;
}

} // namespace hl
