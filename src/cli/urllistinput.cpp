#include "cli/urllistinput.h"

#include "cli/commandline.h"

#include <QFile>
#include <QRegularExpression>
#include <cstdio>

namespace hl::cli {

QStringList ReadUrlList(const QString& path) {
    QFile file;
    const bool standardInput = path == QStringLiteral("-");
    const bool opened = standardInput ? file.open(stdin, QIODevice::ReadOnly)
                                      : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw UsageError(QStringLiteral("cannot read the URL list \"%1\": %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return QString::fromUtf8(bytes).split(lineBreak);
}

} // namespace hl::cli
