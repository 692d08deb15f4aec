#pragma once
// A list file as harvestline-cli reads it (the URL list, the proxy list): a file or standard
// input, one entry per line.
#include <QString>
#include <QStringList>

namespace hl::cli {

// The lines of a list file ("-": standard input), decoded as the window decodes list.txt (a
// byte-order mark, UTF-8, or else the ANSI code page), split at CR LF, LF or CR. Throws UsageError
// naming listName ("URL list") when the file cannot be read.
QStringList ReadListFile(const QString& path, const QString& listName);

} // namespace hl::cli
