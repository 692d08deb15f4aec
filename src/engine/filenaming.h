#pragma once
// How a download's output name is derived: from the URL, or from the name a server proposes in
// Content-Disposition. Pure string functions; they touch no file. Names are sequences of 16-bit
// characters and never longer than kMaxFileNameLength, in characters and in encoded bytes.
#include <QString>

namespace hl {

constexpr int kMaxFileNameLength = 200;

// The output name for a URL. fullUrl: map the whole URL rather than its last path element (as is
// done too when that element is empty, "." or ".."); includeParams: keep the query, with every "?"
// turned into "-". Never empty for a URL with a host.
QString FileNameFromURL(const QString& url, bool fullUrl, bool includeParams);

// The name proposed by a Content-Disposition value ("filename*=UTF-8''" wins over "filename=";
// percent escapes stay as they are), cleaned with SanitizeFileName; empty when it proposes none,
// or only "." or "..", which name no file.
QString FileNameFromContentDisposition(const QString& value);

// Turns the characters that cannot stand in a file name into spaces, halves runs of spaces once,
// trims and cuts to kMaxFileNameLength characters, and further while its encoding on the file
// system is longer than kMaxFileNameLength bytes. Also cleans the user's extension text.
QString SanitizeFileName(const QString& text);

// The text after / before the first occurrence of marker; empty when marker does not occur.
// Without caseSensitive the search ignores letter case; the result is copied as written.
QString TextAfter(const QString& text, const QString& marker, bool caseSensitive);
QString TextBefore(const QString& text, const QString& marker, bool caseSensitive);

// Lower-cases character by character, so positions in the result are positions in the input.
QString LowerCaseSameLength(const QString& text);

} // namespace hl
