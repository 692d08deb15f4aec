#pragma once
#include "ui/optionrow.h"

class QLineEdit;
class QPushButton;

namespace hl {

// "Save to Folder:" with the folder box and the "Browse..." and "Explore" buttons.
class FolderRow : public OptionRow {
    Q_OBJECT
public:
    explicit FolderRow(QWidget* parent);

    QLineEdit* folderBox() const { return folder_; }
    QPushButton* browseButton() const { return browse_; }
    QPushButton* exploreButton() const { return explore_; }

private:
    QLineEdit* folder_;
    QPushButton* browse_;
    QPushButton* explore_;
};

} // namespace hl
