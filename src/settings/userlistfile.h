#pragma once
// URL list files that the user loads, saves or drops on the window, as opposed to list.txt: the
// user picks the encoding, and the list remembers the file's line breaks and byte-order mark so
// that saving it again gives the same kind of file.
#include "settings/textlines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace hl {

// The encoding choice of the open and save dialogs.
enum class ListFileEncoding { Utf8, Ansi };

// What the URL list remembers of the file it last loaded.
struct UserListFormat {
    LineBreak lineBreak = LineBreak::CrLf;
    bool byteOrderMark = false;
};

struct UserListFile {
    QStringList lines; // a break at the very end of the file starts no further line
    UserListFormat format;
};

// "Load URL List...": the bytes in the chosen encoding. UTF-8 skips a UTF-8 byte-order mark and
// throws EFileError naming path when the bytes are not valid UTF-8. ANSI reads the Windows-1252
// code page, unless the first byte above 127 (within the first 16384 bytes) starts a valid UTF-8
// sequence and the whole file is valid UTF-8: then it reads UTF-8.
UserListFile DecodeChosenListFile(QByteArrayView bytes, ListFileEncoding encoding, const QString& path);

// A file dropped on the window: valid UTF-8 (a UTF-8 mark skipped); otherwise the encoding a
// byte-order mark names; otherwise as the ANSI choice above. Never fails.
UserListFile DecodeDroppedListFile(QByteArrayView bytes);

// "Save URL List...": the lines joined by the format's line break, no break after the last line,
// in the chosen encoding; a UTF-8 byte-order mark first only when the format has one (ANSI files
// never carry one).
QByteArray EncodeUserListFile(const QStringList& lines, ListFileEncoding encoding,
                              const UserListFormat& format);

// Reads a file the user chose or dropped, up to a size far beyond any URL list. Throws EFileError.
QByteArray ReadUserListFile(const QString& path);

} // namespace hl
