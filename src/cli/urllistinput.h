#pragma once
// The URL list as harvestline-cli reads it: a file or standard input, one URL per line.
#include <QString>
#include <QStringList>

namespace hl::cli {

// The lines of a list file ("-": standard input), decoded as UTF-8 (a byte-order mark skipped),
// split at CR LF, LF or CR. Throws UsageError when the file cannot be read.
QStringList ReadUrlList(const QString& path);

} // namespace hl::cli
