#pragma once
// The write probe: whether this process can create files in a folder.
#include <QString>

namespace hl {

// True when the file "chk.tmp" can be created anew in `folder` (with or without a trailing
// separator); the file is removed again at once. A "chk.tmp" that already exists there makes the
// probe fail, as does an empty folder name. Blocks only for the file system calls.
bool CanWriteToFolder(const QString& folder);

} // namespace hl
