#include "engine/statustexts.h"

#include <algorithm>

namespace hl {

namespace {

QString fixedDecimals(double value, int decimals, QLocale locale) {
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

} // namespace

QString StatusPrefix(int lineNumber, int lineCount) {
    return QStringLiteral("(%1 / %2)").arg(lineNumber).arg(lineCount);
}

QString DownloadingStatus(const QString& prefix, const QString& url) {
    return prefix + QStringLiteral(" Downloading ") + url + QStringLiteral("...");
}

QString RedirectedStatus(const QString& prefix, const QString& target) {
    return prefix + QStringLiteral(" Downloading ") + target + QStringLiteral("... (Redirected)");
}

QString SchedulerWaitStatus() {
    return QStringLiteral("Waiting due to Scheduler...");
}

QString MultiThreadStatusText(const RunCounters& counters) {
    return QStringLiteral("Downloading: %1 Error: %2 Finished: %3 Total: %4")
        .arg(std::max<int64_t>(counters.CountDownloading.load(), 0))
        .arg(counters.CountErrors.load())
        .arg(counters.CountFinished.load())
        .arg(counters.CountTotal.load());
}

QString SpeedText(double mbps, const QLocale& locale) {
    return fixedDecimals(mbps, 2, locale) + QStringLiteral(" Mbps");
}

QString ElapsedText(quint32 elapsedMs, const QLocale& locale) {
    return fixedDecimals(elapsedMs / 1000.0, 3, locale);
}

QString ElapsedStatus(quint32 elapsedMs, const QLocale& locale) {
    return QStringLiteral("Elapsed Time: ") + ElapsedText(elapsedMs, locale) + QStringLiteral(" sec");
}

std::optional<qint64> AnnouncedLength(qint64 contentLength, const QString& transferEncoding) {
    if (transferEncoding.toLower().contains(QStringLiteral("chunked")) || contentLength <= 0) return {};
    return contentLength;
}

std::optional<int> ProgressPerMille(qint64 bytes, qint64 contentLength, const QString& transferEncoding) {
    const std::optional<qint64> length = AnnouncedLength(contentLength, transferEncoding);
    if (!length) return {};
    return static_cast<int>(bytes * 1000 / *length);
}

} // namespace hl
