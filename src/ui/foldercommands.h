#pragma once
#include <QObject>
#include <QString>

namespace hl {

class FolderRow;
class UserPrompts;

// The "Save to Folder:" row's commands: "Browse...", "Explore", the folder rule and dropped
// folders. It keeps SaveFolder, the folder the picker starts in: the box's text at start-up and at
// each run start, or the folder last picked or dropped, whichever came last. GUI thread only.
class FolderCommands : public QObject {
    Q_OBJECT
public:
    FolderCommands(FolderRow* row, UserPrompts& prompts, QObject* parent);

    QString saveFolder() const { return saveFolder_; }
    void setSaveFolder(const QString& folder) { saveFolder_ = folder; }

    // BitBtn2Click: the folder picker; a picked folder becomes SaveFolder and goes into the box.
    void browse();
    // BitBtn4Click: opens the box's folder in the file manager, or warns that it does not exist.
    void explore();
    // A folder dropped on the window, taken as a picked one.
    void folderDropped(const QString& folder);
    // AddMyFolder: a name that is empty after trimming is ignored; otherwise it becomes the box's
    // text, with "/" added when it does not end with one.
    void addFolder(const QString& folder);

private:
    FolderRow* row_;
    UserPrompts& prompts_;
    QString saveFolder_;
};

} // namespace hl
