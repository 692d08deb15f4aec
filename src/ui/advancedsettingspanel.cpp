#include "ui/advancedsettingspanel.h"

#include "ui/named.h"
#include "ui/numberbox.h"
#include "ui/optionrow.h"
#include "ui/useragents.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace hl {
AdvancedSettingsPanel::AdvancedSettingsPanel(QWidget* parent)
    : QWidget(parent), userAgent_(new QComboBox(this)),
      serverProposedName_(named<QCheckBox>("CheckBox1", tr("Server-Proposed Name"), this)),
      fullUrl_(named<QCheckBox>("CheckBox2", tr("Full URL"), this)),
      includeParameters_(named<QCheckBox>("CheckBox3", tr("Include Parameters"), this)),
      extension_(new QLineEdit(this)), connectionTimeout_(new NumberBox(this)),
      responseTimeout_(new NumberBox(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    userAgent_->setObjectName(QStringLiteral("ComboBox1"));
    userAgent_->setEditable(true);
    userAgent_->setInsertPolicy(QComboBox::NoInsert);
    userAgent_->addItems(userAgentChoices());
    userAgent_->setCurrentIndex(0);
    userAgent_->lineEdit()->setCursorPosition(0);
    userAgent_->setMinimumContentsLength(20);
    userAgent_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* userAgentRow = new OptionRow(QStringLiteral("Panel4"), tr("User Agent:"), this);
    userAgentRow->addControl(userAgent_, 1);

    serverProposedName_->setChecked(true);
    auto* namingRow = new OptionRow(QStringLiteral("Panel5"), tr("Output Filename Format:"), this);
    namingRow->addControl(serverProposedName_);
    namingRow->addControl(fullUrl_);
    namingRow->addControl(includeParameters_);
    namingRow->addStretch();

    extension_->setObjectName(QStringLiteral("Edit6"));
    auto* extensionRow = new OptionRow(QStringLiteral("Panel7"), tr("Output Filename Extension:"), this);
    extensionRow->addControl(extension_, 1);

    connectionTimeout_->setObjectName(QStringLiteral("SpinEdit1"));
    connectionTimeout_->setValue(10000);
    auto* connectionRow = new OptionRow(QStringLiteral("Panel3"), tr("Connection Timeout (ms):"), this);
    connectionRow->addControl(connectionTimeout_);
    connectionRow->addStretch();

    responseTimeout_->setObjectName(QStringLiteral("SpinEdit2"));
    responseTimeout_->setValue(10000);
    auto* responseRow = new OptionRow(QStringLiteral("Panel6"), tr("Response Timeout (ms):"), this);
    responseRow->addControl(responseTimeout_);
    responseRow->addStretch();

    for (QWidget* row : {static_cast<QWidget*>(userAgentRow), static_cast<QWidget*>(namingRow),
                         static_cast<QWidget*>(extensionRow), static_cast<QWidget*>(connectionRow),
                         static_cast<QWidget*>(responseRow)})
        layout->addWidget(row);
}

void AdvancedSettingsPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (userAgent_->lineEdit()) userAgent_->lineEdit()->deselect();
}

} // namespace hl
