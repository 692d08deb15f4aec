#pragma once
#include <QStringList>

class QMimeData;
class QWidget;

namespace hl {

// Files and folders dragged from the file manager belong to the window (a folder becomes the save
// folder, a file the URL list), wherever on the window they are dropped; only text without a file
// in it goes into the control under the pointer.

// Whether data carries at least one local file or folder.
bool carriesLocalFiles(const QMimeData* data);
// The local files and folders data carries, in its order.
QStringList localFilePaths(const QMimeData* data);
// Makes control pass drags that carry files on to its parents, up to the window, instead of taking
// them as text.
void passFileDropsToWindow(QWidget* control);

} // namespace hl
