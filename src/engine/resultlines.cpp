#include "engine/resultlines.h"

#include "engine/filenaming.h"

#include <QRegularExpression>

namespace hl {

namespace {

const QString kBoxSeparator = QStringLiteral("\r\r");

QString withRedirect(QString line, const QString& redirect) {
    if (!redirect.isEmpty()) line += QStringLiteral(" REDIRECTED: ") + redirect;
    return line;
}

QString emptyFileMessage(int attempts) {
    return QStringLiteral("Empty file! (Tried %1 times)").arg(attempts);
}

} // namespace

QString DownloadedLine(const QString& url, const QString& redirect) {
    return withRedirect(QStringLiteral("(DOWNLOADED) URL: ") + url, redirect);
}

QString SkippedLine(const QString& url, const QString& redirect) {
    return withRedirect(QStringLiteral("(SKIPPED) URL: ") + url, redirect);
}

QString ErrorLine(const QString& message, const QString& url, const QString& proxyLine) {
    QString line = QStringLiteral("(ERROR) ") + message + QStringLiteral(" URL: ") + url;
    if (!proxyLine.isEmpty()) line += QStringLiteral(" Proxy: ") + proxyLine;
    return line;
}

QString EmptyFileLine(int attempts, const QString& url) {
    return ErrorLine(emptyFileMessage(attempts), url);
}

QString StoppedLine(const QString& url) {
    return ErrorLine(QStringLiteral("Download stopped"), url);
}

QString ErrorBoxText(const QString& message, const QString& url, const QString& proxyLine) {
    QString text =
        QStringLiteral("Download Error: ") + message + kBoxSeparator + QStringLiteral("URL: ") + url;
    if (!proxyLine.isEmpty()) text += kBoxSeparator + QStringLiteral("Proxy: ") + proxyLine;
    return text;
}

QString EmptyFileBoxText(int attempts, const QString& url) {
    return ErrorBoxText(emptyFileMessage(attempts), url);
}

QString LogViewLine(const QString& line) {
    static const QRegularExpression lineBreaks(QStringLiteral("[ \\t]*[\\r\\n]+[ \\t]*"));
    static const QRegularExpression otherControls(QStringLiteral("[\\x00-\\x08\\x0B-\\x1F\\x7F]"));
    QString single = line;
    single.replace(lineBreaks, QStringLiteral(" "));
    return single.replace(otherControls, QString(QChar::ReplacementCharacter));
}

QString ExtractLogURL(const QString& line) {
    // Table order, not position: a line with an https URL and a later http one yields the http one.
    static const QString prefixes[] = {QStringLiteral("http://"), QStringLiteral("https://"),
                                       QStringLiteral("ftp://")};
    const QString lower = LowerCaseSameLength(line);
    for (const QString& prefix : prefixes) {
        const qsizetype start = lower.indexOf(prefix);
        if (start < 0) continue;
        const qsizetype end = line.indexOf(QLatin1Char(' '), start);
        return line.mid(start, end < 0 ? -1 : end - start);
    }
    return {};
}

QString CopyURLsText(const QStringList& logLines) {
    QString text;
    for (const QString& line : logLines) {
        const QString url = ExtractLogURL(line).trimmed();
        if (!url.isEmpty()) text += url + QStringLiteral("\r\n");
    }
    return text;
}

} // namespace hl
