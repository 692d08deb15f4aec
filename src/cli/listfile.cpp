#include "cli/listfile.h"

#include "cli/commandline.h"
#include "platform/textencoding.h"
#include "settings/textlines.h"

#include <QFile>
#include <cstdio>

namespace hl::cli {

QStringList ReadListFile(const QString& path, const QString& listName) {
    QFile file;
    const bool standardInput = path == QStringLiteral("-");
    const bool opened = standardInput ? file.open(stdin, QIODevice::ReadOnly)
                                      : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw UsageError(
            QStringLiteral("cannot read the %1 \"%2\": %3").arg(listName, path, file.errorString()));
    // Lists are read as the window loads list.txt: a byte-order mark or UTF-8, and the ANSI code
    // page when the bytes are not valid UTF-8, so no character of a legacy file is lost.
    return SplitLines(DecodeTextFile(file.readAll()).text);
}

} // namespace hl::cli
