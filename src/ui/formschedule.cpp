#include "ui/formschedule.h"

#include "settings/settingsstore.h"
#include "ui/named.h"
#include "ui/numberbox.h"
#include "ui/savegate.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace hl {

namespace {

const QString kCancelCaption = QStringLiteral("Cancel");
const QString kStopCaption = QStringLiteral("STOP");

} // namespace

TScheduleForm::TScheduleForm(SettingsStore& store, SaveGate& saves, const Schedule& schedule, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      store_(store), saves_(saves), schedule_(schedule),
      delay_(named<NumberBox>("SpinEdit1", nullptr, minimumDelay, maximumDelay)),
      startNow_(named<QCheckBox>("CheckBox1", tr("Start Now"))),
      periodic_(named<QCheckBox>("CheckBox2", tr("Download Periodically"))),
      delayEach_(named<QCheckBox>("CheckBox3", tr("Delay for Each URL"))),
      ok_(named<QPushButton>("Button1", tr("OK"))), cancel_(named<QPushButton>("Button2", kCancelCaption)) {
    setObjectName(QStringLiteral("ScheduleForm"));
    setWindowTitle(tr("Scheduler"));

    auto* delayRow = new QHBoxLayout;
    auto* delayLabel = named<QLabel>("Label1", tr("Delay (sec):"));
    delayLabel->setBuddy(delay_);
    delayRow->addWidget(delayLabel);
    delayRow->addWidget(delay_, 1);
    ok_->setDefault(true);
    cancel_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(delayRow);
    for (QCheckBox* box : {startNow_, periodic_, delayEach_})
        layout->addWidget(box);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(244, 147)));

    FormCreate();
    bindControls();

    captionTimer_.setObjectName(QStringLiteral("Timer1"));
    captionTimer_.setInterval(100);
    connect(&captionTimer_, &QTimer::timeout, this, &TScheduleForm::Timer1Timer);
    captionTimer_.start();
    Timer1Timer();
}

void TScheduleForm::FormCreate() {
    const Settings stored = store_.Snapshot();
    delay_->setValue(std::clamp(stored.Number(SettingKey::SchedulerDelay), minimumDelay, maximumDelay));
    startNow_->setChecked(stored.Switch(SettingKey::SchedulerStartNow));
    periodic_->setChecked(stored.Switch(SettingKey::SchedulerPeriodic));
    delayEach_->setChecked(stored.Switch(SettingKey::SchedulerDelayEach));
}

// Each control saves its key the moment it changes (opening the dialog writes nothing).
void TScheduleForm::bindControls() {
    connect(delay_, &QSpinBox::valueChanged, this, [this](int seconds) {
        saves_.save(store_.FilePath(), [&] { store_.WriteNumber(SettingKey::SchedulerDelay, seconds); });
    });
    const std::pair<QCheckBox*, SettingKey> boxes[] = {{startNow_, SettingKey::SchedulerStartNow},
                                                       {periodic_, SettingKey::SchedulerPeriodic},
                                                       {delayEach_, SettingKey::SchedulerDelayEach}};
    for (const auto& [box, key] : boxes)
        connect(box, &QCheckBox::toggled, this, [this, key = key](bool on) {
            saves_.save(store_.FilePath(), [&] { store_.WriteSwitch(key, on); });
        });
    connect(ok_, &QPushButton::clicked, this, &TScheduleForm::Button1Click);
    connect(cancel_, &QPushButton::clicked, this, &TScheduleForm::Button2Click);
}

ScheduleOptions TScheduleForm::options() const {
    return {delay_->value(), startNow_->isChecked(), periodic_->isChecked(), delayEach_->isChecked()};
}

void TScheduleForm::Button1Click() {
    // A number still being typed counts as entered, brought into the range (and saved).
    delay_->interpretText();
    emit armRequested(options());
    accept();
}

void TScheduleForm::Button2Click() {
    emit disarmRequested();
    reject();
}

// Esc presses the second button, whatever it reads; the close button only closes.
void TScheduleForm::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        cancel_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TScheduleForm::Timer1Timer() {
    cancel_->setText(schedule_.ScheduleActive() ? kStopCaption : kCancelCaption);
}

} // namespace hl
