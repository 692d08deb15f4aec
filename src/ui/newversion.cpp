#include "ui/newversion.h"

#include "ui/icons.h"
#include "ui/windowdrag.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVariantAnimation>

namespace hl {

TNewVer::TNewVer(const QString& productName, const QString& version, const QString& link,
                 std::function<void(const QString&)> openUrl, QWidget* mainWindow, NoticeTimings timings)
    : QWidget(mainWindow,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      mainWindow_(mainWindow), link_(link), openUrl_(std::move(openUrl)), timings_(timings),
      countdown_(timings.countdownSteps), Image1(new QLabel(this)), Label1(new QLabel(this)),
      Label2(new QLabel(this)), SpeedButton1(new QToolButton(this)), TimerCountdown(new QTimer(this)),
      animation_(new QVariantAnimation(this)) {
    setObjectName(QStringLiteral("NewVer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    setFixedSize(kWidth, kHeight);

    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(4, 4, 60, 60);
    Image1->setPixmap(themeIcon(QStringLiteral("harvestline")).pixmap(QSize(60, 60), devicePixelRatioF()));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(68, 8, 226, 18);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setText(tr("UPDATE AVAILABLE"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);

    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(68, 28, 240, 34);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setText(tr("Click to download") + QLatin1Char(' ') + productName + QLatin1Char(' ') + version);
    QFont underlined = Label2->font();
    underlined.setUnderline(true);
    Label2->setFont(underlined);
    Label2->installEventFilter(this);
    setLinkHot(false);

    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(kWidth - 22, 2, 20, 20);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(themeIcon(QStringLiteral("close-small")));
    SpeedButton1->setToolTip(tr("Close"));
    connect(SpeedButton1, &QToolButton::clicked, this, &QWidget::close);

    auto* drag = new WindowDrag(this);
    drag->watch({this, Image1, Label1});

    TimerCountdown->setObjectName(QStringLiteral("TimerCountdown"));
    TimerCountdown->setInterval(timings_.countdownStepMs);
    connect(TimerCountdown, &QTimer::timeout, this, &TNewVer::TimerCountdownTimer);
    TimerCountdown->start();

    animation_->setDuration(timings_.animationMs);
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { revealShare(value.toReal()); });

    placeAtTopRight();
    QTimer::singleShot(timings_.showDelayMs, this, &TNewVer::showAnimated);
}

void TNewVer::placeAtTopRight() {
    const QScreen* screen = mainWindow_ ? mainWindow_->screen() : this->screen();
    if (!screen) return;
    const QRect area = screen->geometry();
    move(area.right() + 1 - kScreenMargin - kWidth, area.top() + kScreenMargin);
}

void TNewVer::showAnimated() {
    revealShare(0);
    show();
    animation_->setStartValue(0.0);
    animation_->setEndValue(1.0);
    connect(animation_, &QVariantAnimation::finished, this, &QWidget::clearMask, Qt::SingleShotConnection);
    animation_->start();
    // The notice informs; it must not take the keyboard from what the user was typing into.
    if (mainWindow_) mainWindow_->activateWindow();
}

void TNewVer::TimerCountdownTimer() {
    if (--countdown_ > 0) return;
    TimerCountdown->stop();
    closeAnimated();
}

void TNewVer::closeAnimated() {
    animation_->stop();
    animation_->setStartValue(1.0);
    animation_->setEndValue(0.0);
    connect(animation_, &QVariantAnimation::finished, this, &QWidget::close, Qt::SingleShotConnection);
    animation_->start();
}

void TNewVer::revealShare(qreal share) {
    const int width = qRound(kWidth * share);
    const int height = qRound(kHeight * share);
    // An empty mask would show the whole window: one pixel stands for nothing.
    setMask(QRegion((kWidth - width) / 2, (kHeight - height) / 2, std::max(width, 1), std::max(height, 1)));
}

void TNewVer::Label2Click() {
    openUrl_(link_);
    close();
}

void TNewVer::setLinkHot(bool hot) {
    QPalette colours = Label2->palette();
    colours.setColor(QPalette::WindowText, palette().color(hot ? QPalette::Link : QPalette::WindowText));
    Label2->setPalette(colours);
}

bool TNewVer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::Leave)
            setLinkHot(event->type() == QEvent::Enter);
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            Label2->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
            Label2Click();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace hl
