#include "ui/folderrow.h"

#include "ui/icons.h"

#include <QLineEdit>
#include <QPushButton>

namespace hl {

FolderRow::FolderRow(QWidget* parent)
    : OptionRow(QStringLiteral("Panel2"), tr("Save to Folder:"), parent), folder_(new QLineEdit(this)),
      browse_(new QPushButton(themeIcon(QStringLiteral("folder-icon")), tr("Browse..."), this)),
      explore_(new QPushButton(themeIcon(QStringLiteral("folder-open")), tr("Explore"), this)) {
    folder_->setObjectName(QStringLiteral("Edit1"));
    browse_->setObjectName(QStringLiteral("BitBtn2"));
    explore_->setObjectName(QStringLiteral("BitBtn4"));
    for (QPushButton* button : {browse_, explore_}) {
        button->setIconSize(QSize(20, 20));
        button->setAutoDefault(false);
    }
    addControl(folder_, 1);
    addControl(browse_);
    addControl(explore_);
}

} // namespace hl
