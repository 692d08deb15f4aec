#include "ui/progressrow.h"

#include "ui/optionrow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace hl {

ProgressRow::ProgressRow(QWidget* parent)
    : QWidget(parent), bar_(new QProgressBar(this)), speed_(new QLabel(this)) {
    setObjectName(QStringLiteral("PanelProgress"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setRange(0, maximum);
    bar_->setTextVisible(false);
    speed_->setObjectName(QStringLiteral("LabelSpeed"));
    speed_->setFont(OptionRow::rowFont());
    speed_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    speed_->setMinimumWidth(speed_->fontMetrics().horizontalAdvance(QStringLiteral("0000.00 Mbps")));
    layout->addWidget(bar_, 1);
    layout->addWidget(speed_);
}

void ProgressRow::setPosition(int position) {
    setMarquee(false);
    bar_->setValue(position);
}

void ProgressRow::setMarquee(bool on) {
    if (on == marquee()) return;
    // A bar whose range is 0 to 0 is Qt's busy indicator.
    bar_->setRange(0, on ? 0 : maximum);
    if (!on) bar_->setValue(0);
}

bool ProgressRow::marquee() const {
    return bar_->maximum() == 0;
}

int ProgressRow::position() const {
    return marquee() ? 0 : bar_->value();
}

void ProgressRow::setSpeedText(const QString& text) {
    speed_->setText(text);
}

QString ProgressRow::speedText() const {
    return speed_->text();
}

} // namespace hl
