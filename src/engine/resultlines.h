#pragma once
// The one catalogue of what downloads write to the Download Log, the Error Log and the error
// message boxes, and how "Copy URLs" takes the URLs back out of log lines.
#include <QString>
#include <QStringList>

namespace hl {

// "(DOWNLOADED) URL: " + url [+ " REDIRECTED: " + redirect when not empty]
QString DownloadedLine(const QString& url, const QString& redirect = {});
// "(SKIPPED) URL: " + url [+ " REDIRECTED: " + redirect when not empty]
QString SkippedLine(const QString& url, const QString& redirect = {});
// "(ERROR) " + message + " URL: " + url [+ " Proxy: " + proxyLine when not empty]
QString ErrorLine(const QString& message, const QString& url, const QString& proxyLine = {});
// "(ERROR) Empty file! (Tried " + attempts + " times) URL: " + url
QString EmptyFileLine(int attempts, const QString& url);
// "(ERROR) Download stopped URL: " + url: a transfer that STOP cut short.
QString StoppedLine(const QString& url);

// Box texts; their parts are separated by two carriage returns.
QString ErrorBoxText(const QString& message, const QString& url, const QString& proxyLine = {});
QString EmptyFileBoxText(int attempts, const QString& url);

// A result line as the Download Log and the Error Log hold it: one line per URL, also when an error
// message carries line breaks (the socket errors put one between their number and their text, a
// server's reply text ends with one): a run of breaks, with the blanks around it, becomes one space.
// Any other control character (a server may put one in a redirect target) becomes U+FFFD: an escape
// sequence would otherwise act on the terminal that shows the line, and a NUL make the log binary.
QString LogViewLine(const QString& line);

// The first "http://", else "https://", else "ftp://" URL of a log line, up to the next space;
// empty when the line holds none of them.
QString ExtractLogURL(const QString& line);

// The URLs of log lines as "Copy URLs" puts them on the clipboard: each followed by CR LF.
QString CopyURLsText(const QStringList& logLines);

} // namespace hl
