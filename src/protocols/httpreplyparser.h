#pragma once
// Bounded parsers for the parts of an HTTP reply that arrive from the peer: the status line, header
// values and chunk-size lines. Pure functions; the caller bounds the input (the transport cuts
// lines at 16384 characters).
#include <QByteArray>
#include <QString>
#include <optional>

namespace hl {

// Header bytes as text: 7-bit ASCII, every byte above 0x7F becomes U+FFFD.
QString decodeHeaderBytes(const QByteArray& bytes);

// The second space-separated word of a status line, cut at a ".", as a decimal number; -1 when
// there is none.
int parseResponseCode(const QString& statusLine);

// Characters 6 to 8 of the status line ("1.0" or "1.1" for HTTP/1.x); empty when it is neither.
QString parseResponseVersion(const QString& statusLine);

// A Content-Length value: a non-negative decimal number that fits 63 bits, else -1.
qint64 parseContentLength(const QString& value);

// A chunk-size line: cut at the first ";" (extensions are ignored), trimmed, hexadecimal. Nothing
// when it is not a hexadecimal number or does not fit 63 bits.
std::optional<qint64> parseChunkSize(const QByteArray& line);

// A parameter of a header value such as Content-Type ("charset", "boundary"): the text after
// name "=" up to the next ";", trimmed and unquoted; empty when absent.
QString headerParameter(const QString& value, const QString& name);

// Whether a comma-separated header value lists the token (case-insensitive).
bool headerHasToken(const QString& value, const QString& token);

struct TIdContentRange {
    QString Units;
    qint64 Start = -1;
    qint64 End = -1;
    qint64 InstanceLength = -1; // -1 also for "*"
};

// A Content-Range value such as "bytes 0-99/1234"; fields that do not parse stay -1.
TIdContentRange parseContentRange(const QString& value);

} // namespace hl
