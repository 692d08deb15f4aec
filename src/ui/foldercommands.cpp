#include "ui/foldercommands.h"

#include "ui/folderrow.h"
#include "ui/userprompts.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

namespace hl {

FolderCommands::FolderCommands(FolderRow* row, UserPrompts& prompts, QObject* parent)
    : QObject(parent), row_(row), prompts_(prompts) {
    connect(row_->browseButton(), &QPushButton::clicked, this, &FolderCommands::browse);
    connect(row_->exploreButton(), &QPushButton::clicked, this, &FolderCommands::explore);
}

void FolderCommands::browse() {
    const QString picked = prompts_.chooseFolder(tr("Select folder:"), saveFolder_);
    if (picked.isEmpty()) return;
    folderDropped(picked);
}

void FolderCommands::explore() {
    const QString folder = row_->folderBox()->text();
    if (!QFileInfo(folder).isDir()) {
        prompts_.showMessage(MessageIcon::Warning, QStringLiteral("WARNING"),
                             QStringLiteral("Directory not found!\r\r") + folder);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void FolderCommands::folderDropped(const QString& folder) {
    saveFolder_ = folder;
    addFolder(folder);
}

void FolderCommands::addFolder(const QString& folder) {
    if (folder.trimmed().isEmpty()) return;
    row_->folderBox()->setText(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

} // namespace hl
