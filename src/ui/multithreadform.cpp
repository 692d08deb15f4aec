#include "ui/multithreadform.h"

#include "ui/numberbox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace hl {
namespace {

QLabel* boldLabel(const char* name, int value, QWidget* parent) {
    auto* label = new QLabel(QString::number(value), parent);
    label->setObjectName(QLatin1String(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

TFormMultiThread::TFormMultiThread(int minimumWorkers, int maximumWorkers, const MultiThreadChoice& stored,
                                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      automatic_(new QRadioButton(tr("Automatic"))), custom_(new QRadioButton(tr("Custom"))),
      threads_(new NumberBox(nullptr, 1, maximumThreads)),
      classic_(new QCheckBox(tr("Use Classic Threading Engine"))) {
    setObjectName(QStringLiteral("FormMultiThread"));
    setWindowTitle(tr("Multi-Threading"));

    auto* group = new QGroupBox(tr("Number of Threads"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(tr("Minimum:")), 0, 0);
    grid->addWidget(boldLabel("Label3", minimumWorkers, group), 0, 1);
    grid->addWidget(new QLabel(tr("Maximum:")), 1, 0);
    grid->addWidget(boldLabel("Label4", maximumWorkers, group), 1, 1);
    automatic_->setObjectName(QStringLiteral("RadioButton1"));
    custom_->setObjectName(QStringLiteral("RadioButton2"));
    threads_->setObjectName(QStringLiteral("SpinEdit1"));
    grid->addWidget(automatic_, 2, 0, 1, 2);
    grid->addWidget(custom_, 3, 0);
    grid->addWidget(threads_, 3, 1);
    grid->setColumnStretch(1, 1);

    classic_->setObjectName(QStringLiteral("CheckBox1"));
    auto* enable = new QPushButton(tr("Enable"));
    enable->setObjectName(QStringLiteral("Button1"));
    enable->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(enable);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(classic_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    threads_->setValue(maximumWorkers);
    const bool customCount = stored.threads >= 1 && stored.threads <= maximumThreads;
    (customCount ? custom_ : automatic_)->setChecked(true);
    if (customCount) threads_->setValue(stored.threads);
    classic_->setChecked(stored.classicEngine);

    connect(enable, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

MultiThreadChoice TFormMultiThread::choice() const {
    // A number still being typed counts as entered, brought into 1 to 9999.
    threads_->interpretText();
    return {custom_->isChecked() ? threads_->value() : 0, classic_->isChecked()};
}

} // namespace hl
