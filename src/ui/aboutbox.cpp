#include "ui/aboutbox.h"

#include "platform/datafiles.h"
#include "ui/icons.h"
#include "ui/userprompts.h"
#include "ui/windowdrag.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace hl {
namespace {

constexpr QSize kLogoSize(344, 105);
constexpr QSize kHiddenPictureSize(324, 220);
constexpr int kAnimationStepMs = 50;
constexpr int kSlideStepPixels = 5;
constexpr int kSlideStepMs = 5;

QLabel* pictureLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TAboutBox::TAboutBox(AboutBoxEnvironment environment, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      environment_(std::move(environment)), PanelEgg(new QFrame(this)),
      ImageEgg(pictureLabel("ImageEgg", PanelEgg)), Panel1(new QFrame(this)),
      Image2(pictureLabel("Image2", Panel1)), Bevel1(new QFrame(Panel1)),
      VirtualImage1(pictureLabel("VirtualImage1", Bevel1)), Label2(new QLabel(Panel1)),
      BitBtn1(new QPushButton(Panel1)), BitBtn2(new QPushButton(Panel1)), Label5(new QLabel(Panel1)),
      PopupMenu1(new QMenu(this)), tmTimer(new QTimer(this)), TimerEgg(new QTimer(this)) {
    layOut();
    FormCreate();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::layOut() {
    setObjectName(QStringLiteral("AboutBox"));
    setFixedSize(kClientWidth, kClientHeight);
    // The rain is drawn on a canvas of our own; the window needs no background of its own.
    setAttribute(Qt::WA_OpaquePaintEvent);

    PanelEgg->setObjectName(QStringLiteral("PanelEgg"));
    PanelEgg->setGeometry((kClientWidth - kHiddenPictureSize.width()) / 2,
                          (kClientHeight - kHiddenPictureSize.height()) / 2, kHiddenPictureSize.width(),
                          kHiddenPictureSize.height());
    ImageEgg->setGeometry(PanelEgg->rect());
    PanelEgg->hide();

    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(48, 42, 350, 291);
    Panel1->setAutoFillBackground(true);
    QPalette black = Panel1->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    Panel1->setPalette(black);
    Panel1->raise();

    Image2->setGeometry(3, 3, kLogoSize.width(), kLogoSize.height());
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(16, 122, 34, 34);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    VirtualImage1->setGeometry(1, 1, 32, 32);

    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(62, 118, 276, 48);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont large = Label2->font();
    large.setPixelSize(16);
    Label2->setFont(large);

    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(88, 196, 80, 28);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(182, 196, 80, 28);
    // The arrow sits on the right of the caption, pointing at where the menu opens.
    BitBtn2->setLayoutDirection(Qt::RightToLeft);
    BitBtn2->setIcon(themeIcon(QStringLiteral("arrow-down")));

    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(0, 258, 350, 22);
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setCursor(Qt::PointingHandCursor);
    QFont underlined = Label5->font();
    underlined.setUnderline(true);
    Label5->setFont(underlined);
    QPalette link = Label5->palette();
    link.setColor(QPalette::WindowText, QColor(0x66, 0xB3, 0xFF));
    Label5->setPalette(link);
    Label5->installEventFilter(this);

    VirtualImage1->installEventFilter(this);
    ImageEgg->installEventFilter(this);
    auto* drag = new WindowDrag(this);
    drag->watch({this, Panel1, Image2, VirtualImage1, PanelEgg, ImageEgg, Label2});

    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    tmTimer->setObjectName(QStringLiteral("tmTimer"));
    TimerEgg->setObjectName(QStringLiteral("TimerEgg"));
    connect(tmTimer, &QTimer::timeout, this, &TAboutBox::tmTimerTimer);
    connect(TimerEgg, &QTimer::timeout, this, &TAboutBox::TimerEggTimer);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    // On press, as a menu button opens: the press that closes an open menu then falls within the
    // guard rather than a slow click's release after it.
    connect(BitBtn2, &QPushButton::pressed, this, &TAboutBox::BitBtn2Click);
    connect(PopupMenu1, &QMenu::aboutToHide, this, [this] { menuClosedAtMs_ = environment_.clock->nowMs(); });

    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

void TAboutBox::FormCreate() {
    const ProgramIdentity& identity = environment_.identity;
    setWindowTitle(tr("About %1").arg(identity.productName));
    Label2->setText(identity.productName + QLatin1Char(' ') + identity.versionText);
    BitBtn1->setText(tr("OK"));
    BitBtn2->setText(tr("Info"));
    Label5->setText(environment_.server.host);
    Label5->setToolTip(environment_.server.homePage());
    auto addItem = [this](const char* name, const QString& caption, void (TAboutBox::*handler)()) {
        QAction* action = PopupMenu1->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
    };
    addItem("Credits1", tr("Acknowledgements..."), &TAboutBox::Credits1Click);
    addItem("Howtouninstall1", tr("How to uninstall..."), &TAboutBox::Howtouninstall1Click);
    addItem("LicensePrivacyPolicy1", tr("License..."), &TAboutBox::LicensePrivacyPolicy1Click);
    HighDPIImageYukle();
    startAnimation(true);
}

void TAboutBox::HighDPIImageYukle() {
    const qreal ratio = devicePixelRatioF();
    Image2->setPixmap(themeIcon(QStringLiteral("lumbrix-logo")).pixmap(kLogoSize, ratio));
    ImageEgg->setPixmap(themeIcon(QStringLiteral("hidden-picture")).pixmap(kHiddenPictureSize, ratio));
    VirtualImage1->setPixmap(themeIcon(QStringLiteral("harvestline")).pixmap(QSize(32, 32), ratio));
}

void TAboutBox::startAnimation(bool startTimer) {
    const QSize outer = frameGeometry().size();
    rain_.start(outer);
    const qreal ratio = devicePixelRatioF();
    canvas_ = QImage(outer * ratio, QImage::Format_RGB32);
    canvas_.setDevicePixelRatio(ratio);
    canvas_.fill(Qt::black);
    update();
    if (startTimer) tmTimer->start(kAnimationStepMs);
}

void TAboutBox::tmTimerTimer() {
    QPainter painter(&canvas_);
    QFont font = painter.font();
    font.setFamily(QStringLiteral("monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(FallingCharacters::kCharHeight);
    painter.setFont(font);
    rain_.step(painter);
    painter.end();
    update();
}

void TAboutBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_);
}

void TAboutBox::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    startAnimation(false);
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (screenWatched_ || !windowHandle()) return;
    screenWatched_ = true;
    connect(windowHandle(), &QWindow::screenChanged, this, &TAboutBox::screenChanged);
}

void TAboutBox::screenChanged() {
    HighDPIImageYukle();
    startAnimation(false);
}

void TAboutBox::BitBtn2Click() {
    if (menuClosedAtMs_ && environment_.clock->nowMs() - *menuClosedAtMs_ < kMenuReshowGuardMs) return;
    PopupMenu1->popup(BitBtn2->mapToGlobal(QPoint(0, BitBtn2->height())));
}

void TAboutBox::openMakerPage(const QString& path) {
    environment_.openWithDesktop(environment_.server.url(QStringLiteral("https://"), path));
}

void TAboutBox::Label5Click() {
    environment_.openWithDesktop(environment_.server.homePage());
}

void TAboutBox::Credits1Click() {
    openMakerPage(QStringLiteral("/blog/credits-and-acknowledgements/"));
}

void TAboutBox::Howtouninstall1Click() {
    openMakerPage(QStringLiteral("/blog/how-to-uninstall-lumbrix-software/"));
}

void TAboutBox::LicensePrivacyPolicy1Click() {
    const QString license = FindDataFile(QStringLiteral("license.txt"), environment_.programFolder);
    if (!license.isEmpty())
        environment_.openWithDesktop(license);
    else
        environment_.prompts->showMessage(MessageIcon::Error, tr("License"), tr("File not found!"));
}

void TAboutBox::Image1DblClick() {
    if (TimerEgg->isActive()) return;
    PanelEgg->show();
    // The slide keeps its pace in screen pixels when the window sits on a screen of another density.
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QScreen* current = screen();
    const qreal ratio =
        primary && current ? primary->logicalDotsPerInch() / current->logicalDotsPerInch() : 1.0;
    TimerEgg->setInterval(std::max(1, qRound(kSlideStepMs * ratio)));
    TimerEgg->start();
}

void TAboutBox::TimerEggTimer() {
    Panel1->move(Panel1->x() + kSlideStepPixels, Panel1->y());
    if (Panel1->x() > width()) TimerEgg->stop();
}

void TAboutBox::ImageEggDblClick() {
    if (TimerEgg->isActive()) return;
    PanelEgg->hide();
    Panel1->move((width() - Panel1->width()) / 2, Panel1->y());
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == VirtualImage1) Image1DblClick();
        if (watched == ImageEgg) ImageEggDblClick();
    }
    if (watched == Label5 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        Label5Click();
    return QDialog::eventFilter(watched, event);
}

} // namespace hl
