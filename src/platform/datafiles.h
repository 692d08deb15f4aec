#pragma once
// Our own read-only data files (the license text) wherever the program was put: beside the
// executable in a build folder, or in the data folder of the prefix it was installed into.
#include <QString>
#include <QStringList>

namespace hl {

// The folders searched for a data file, in order, each ending with "/": `executableFolder`
// itself, then "../share/harvestline/" from it (the installed layout: prefix/bin beside
// prefix/share).
QStringList DataFolders(const QString& executableFolder);

// The first regular file named `name` in DataFolders(executableFolder); empty when none holds one.
QString FindDataFile(const QString& name, const QString& executableFolder);

// The same, from the running executable's folder.
QString FindDataFile(const QString& name);

} // namespace hl
