#pragma once
// What a list line goes through before it is requested: the repair of a mistyped scheme, the
// rewriting of file-sharing links into direct-download links, and the encoding of spaces.
#include <QString>

namespace hl {

// The line trimmed, with "ftp:", "http:" or "https:" followed by two or three backslashes (any
// letter case) turned into the scheme and "//". Backslashes further on stay.
QString FixURLScheme(const QString& line);

// The file id of a Google Drive link: after "file/d/" up to the next "/", else after "id=" up to
// the next "&"; empty when the link has neither.
QString GoogleDriveFileId(const QString& url);

// A Dropbox sharing link asks for the file itself ("dl=1"); a Google Drive link with a file id
// becomes the Drive's direct-download link. Any other URL is returned unchanged.
QString RewriteSharingLink(const QString& url);

// Every space as "%20": the HTTP client sends URLs as they are.
QString EncodeSpaces(const QString& url);

} // namespace hl
