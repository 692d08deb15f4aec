// libFuzzer target for the folder column of a URL list in CSV mode: "URL,folder".
//
// Input: a control byte whose bits say which of the folders asked for can be made, then the list
// line (UTF-8). The folders are made in memory only: the fuzzer never touches the file system.
//
// Besides crashes it checks the split's contract: the file goes to a folder that exists (one the
// line names, absolute or below the save folder, and nothing else is ever created), with its
// trailing "/"; the URL is the text before the first comma; and a line whose folder cannot be
// made is requested whole into the save folder.
#include "engine/csvsplit.h"
#include "fuzzcheck.h"

#include <QByteArray>
#include <QStringList>

using fuzzcheck::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t madeFolders = data[0];
    const QString line =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString saveFolder = QStringLiteral("/save/");

    QStringList asked;
    QStringList made;
    const auto makeFolder = [&](const QString& folder) {
        asked.append(folder);
        const bool canMake = madeFolders & (1u << (asked.size() - 1));
        if (canMake) made.append(folder);
        return canMake;
    };
    const hl::CsvTarget target = hl::SplitCsvLine(line, saveFolder, makeFolder);

    const qsizetype comma = line.indexOf(QLatin1Char(','));
    const QString column = comma < 0 ? QString() : line.mid(comma + 1);
    for (const QString& folder : asked)
        require(folder == column || folder == saveFolder + column,
                "only the folder the line names, as it stands or below the save folder, is made");
    require(target.folder.endsWith(QLatin1Char('/')), "the target folder ends with \"/\"");
    if (made.isEmpty()) {
        require(target.url == line && target.folder == saveFolder,
                "a line without a folder that exists is requested whole into the save folder");
        return 0;
    }
    require(made.size() == 1, "the split stops at the first folder that exists");
    require(target.url == line.left(comma), "the URL is the text before the first comma");
    require(target.folder == made[0] || target.folder == made[0] + QLatin1Char('/'),
            "the file goes to the folder that was made");
    return 0;
}
