#pragma once
// Whole-file reads and replacements for the small files this program keeps (settings and lists).
#include "platform/exception.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace hl {

// A file that cannot be read or saved. The message names the file and gives the system's reason.
HL_DECLARE_EXCEPTION(EFileError, Exception);

// The whole content of the file at `path`. Throws EFileError when it cannot be opened or read, when
// it is not a regular file (a folder, pipe, socket or device), or when it holds more than `limit`
// bytes. Blocks for the read, never for a writer of a pipe.
QByteArray ReadFileContents(const QString& path, qint64 limit);

// Replaces the file at `path` with `bytes` in one step: the bytes go into a new temporary file in
// the same folder, which is then renamed over the old file, so a crash or a full disk part-way
// leaves the old content whole. The new file keeps the old one's permission bits; a symbolic link
// is followed and its target replaced. Throws EFileError (the temporary file is removed); the old
// file is then unchanged. Blocks for the write; the data is not forced to the disk.
void ReplaceFileContents(const QString& path, QByteArrayView bytes);

// Deletes the file; false when it could not be deleted (missing included).
bool DeleteFile(const QString& path);

} // namespace hl
