#pragma once
#include "ui/userprompts.h"

#include <QFileDialog>

class QComboBox;

namespace hl {

// A file dialog with an "Encoding:" choice of "UTF-8" (first, preselected) and "ANSI" under the
// file-type row. Qt's own dialog is used, since the platform dialogs take no extra controls.
class EncodingFileDialog : public QFileDialog {
    Q_OBJECT
public:
    EncodingFileDialog(QWidget* parent, AcceptMode mode, const QString& filter, const QString& defaultSuffix);

    ListFileEncoding encoding() const;

private:
    QComboBox* encodingBox_;
};

} // namespace hl
