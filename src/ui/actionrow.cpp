#include "ui/actionrow.h"

#include "ui/icons.h"
#include "ui/optionrow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace hl {

ActionRow::ActionRow(QWidget* parent) : QWidget(parent), button_(new QPushButton(this)) {
    setObjectName(QStringLiteral("Panel1"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    auto* spacer = new QLabel(this);
    spacer->setFixedWidth(OptionRow::labelWidth());
    layout->addWidget(spacer);
    layout->addWidget(button_);
    layout->addStretch(1);

    button_->setObjectName(QStringLiteral("BitBtn1"));
    QFont bold = OptionRow::rowFont();
    bold.setBold(true);
    button_->setFont(bold);
    button_->setIconSize(QSize(32, 32));
    button_->setMinimumWidth(button_->fontMetrics().horizontalAdvance(QStringLiteral("STOPPING...")) + 72);
    button_->setDefault(true);
    setState(RunButtonState::Idle);
}

void ActionRow::setState(RunButtonState state) {
    state_ = state;
    switch (state) {
    case RunButtonState::Idle:
        button_->setText(tr("DOWNLOAD ALL"));
        button_->setIcon(themeIcon(QStringLiteral("sign-right"), QStringLiteral("sign-right-gray")));
        button_->setEnabled(true);
        break;
    case RunButtonState::Running:
        button_->setText(tr("STOP"));
        button_->setIcon(themeIcon(QStringLiteral("stop-blue"), QStringLiteral("stop-blue-gray")));
        button_->setEnabled(true);
        break;
    case RunButtonState::Stopping:
        button_->setText(tr("STOPPING..."));
        button_->setEnabled(false);
        break;
    }
}

} // namespace hl
