#include "ui/encodingfiledialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace hl {

EncodingFileDialog::EncodingFileDialog(QWidget* parent, AcceptMode mode, const QString& filter,
                                       const QString& defaultSuffix)
    : QFileDialog(parent), encodingBox_(new QComboBox(this)) {
    setOption(DontUseNativeDialog);
    setAcceptMode(mode);
    setFileMode(mode == AcceptOpen ? ExistingFile : AnyFile);
    setNameFilter(filter);
    setDefaultSuffix(defaultSuffix);
    encodingBox_->setObjectName(QStringLiteral("Encoding"));
    encodingBox_->addItems({QStringLiteral("UTF-8"), QStringLiteral("ANSI")});
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(tr("Encoding:"), this), row, 0);
        grid->addWidget(encodingBox_, row, 1);
    }
}

ListFileEncoding EncodingFileDialog::encoding() const {
    return encodingBox_->currentIndex() == 1 ? ListFileEncoding::Ansi : ListFileEncoding::Utf8;
}

} // namespace hl
