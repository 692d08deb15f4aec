#pragma once
// The write probe: whether this process can create files in a folder.
#include <QString>

namespace hl {

// True when a file can be created in `folder` (with or without a trailing separator) and no
// "chk.tmp" is there: the probe file "chk.tmp" of the design, created anew and deleted on close.
// The file made has no name, so none is left behind even when the process is killed (a named
// "chk.tmp", removed at once, on file systems that cannot make such files). An empty folder name
// fails. Blocks only for the file system calls.
bool CanWriteToFolder(const QString& folder);

} // namespace hl
