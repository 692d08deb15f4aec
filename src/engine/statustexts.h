#pragma once
// The texts and figures that the window and the command-line tool show during and after a run.
// Pure functions: callers pass the counters, slots, locale and times.
#include "engine/runcounters.h"

#include <QLocale>
#include <QString>
#include <optional>

namespace hl {

// "(" + lineNumber + " / " + lineCount + ")": the prefix of a sequential run's status line.
QString StatusPrefix(int lineNumber, int lineCount);
// prefix + " Downloading " + url + "..."
QString DownloadingStatus(const QString& prefix, const QString& url);
// prefix + " Downloading " + target + "... (Redirected)"
QString RedirectedStatus(const QString& prefix, const QString& target);
// The status of a scheduler pause between two URLs.
QString SchedulerWaitStatus();

// "Downloading: d Error: e Finished: f Total: t"; a negative d shows as 0.
QString MultiThreadStatusText(const RunCounters& counters);

// The speed with two decimals under the locale's decimal separator, + " Mbps".
QString SpeedText(double mbps, const QLocale& locale = QLocale());

// Seconds with three decimals ("1.234" for 1234 ms) under the locale's decimal separator.
QString ElapsedText(quint32 elapsedMs, const QLocale& locale = QLocale());
// "Elapsed Time: " + ElapsedText + " sec"
QString ElapsedStatus(quint32 elapsedMs, const QLocale& locale = QLocale());

// The body length that a reply announces, or nothing when it gives no usable one (chunked, or no
// positive Content-Length).
std::optional<qint64> AnnouncedLength(qint64 contentLength, const QString& transferEncoding);
// The progress of a transfer in per mille of its AnnouncedLength, or nothing when there is none: the
// bar then runs as a marquee.
std::optional<int> ProgressPerMille(qint64 bytes, qint64 contentLength, const QString& transferEncoding);

} // namespace hl
