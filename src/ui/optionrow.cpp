#include "ui/optionrow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>

namespace hl {

OptionRow::OptionRow(const QString& objectName, const QString& caption, QWidget* parent)
    : QWidget(parent), layout_(new QHBoxLayout(this)), label_(new QLabel(caption, this)) {
    setObjectName(objectName);
    setFont(rowFont());
    layout_->setContentsMargins(8, 2, 8, 2);
    label_->setFixedWidth(labelWidth());
    layout_->addWidget(label_);
}

void OptionRow::addControl(QWidget* control, int stretch) {
    layout_->addWidget(control, stretch);
}

void OptionRow::addStretch() {
    layout_->addStretch(1);
}

int OptionRow::labelWidth() {
    const QFontMetrics metrics(rowFont());
    return qMax(200,
                metrics.horizontalAdvance(tr("Output Filename Extension:")) + metrics.averageCharWidth());
}

QFont OptionRow::rowFont() {
    QFont font = QApplication::font();
    font.setPointSize(12);
    return font;
}

} // namespace hl
