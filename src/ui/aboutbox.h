#pragma once
// The about box: the product name and version on a black panel over a rain of falling characters,
// links to the maker's web pages, and a small picture hidden behind the panel (a double-click on
// the icon slides the panel away; a double-click on the picture brings it back).
#include "engine/clock.h"
#include "services/makerserver.h"
#include "services/versioninfo.h"
#include "ui/fallingcharacters.h"

#include <QDialog>
#include <QImage>
#include <functional>
#include <memory>
#include <optional>

class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace hl {

class UserPrompts;

struct AboutBoxEnvironment {
    ProgramIdentity identity;
    // Whose address the box shows and whose pages it opens.
    MakerServer server;
    // Shows "File not found!" when there is no license to open. Not owned; must outlive the box.
    UserPrompts* prompts = nullptr;
    // Opens a web address or a local file with the desktop's handler.
    std::function<void(const QString&)> openWithDesktop;
    // The executable's folder (ending with "/"): license.txt is looked for there, then in the
    // installed data folder beside it.
    QString programFolder;
    std::shared_ptr<const Clock> clock = steadyClock();
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 446;
    static constexpr int kClientHeight = 374;
    // A press on "Info" this soon after its menu closed only closed the menu.
    static constexpr qint64 kMenuReshowGuardMs = 100;

    TAboutBox(AboutBoxEnvironment environment, QWidget* parent);
    ~TAboutBox() override;

    QFrame* panel() const { return Panel1; }
    QFrame* hiddenPanel() const { return PanelEgg; }
    QLabel* productLabel() const { return Label2; }
    QLabel* addressLabel() const { return Label5; }
    QLabel* icon() const { return VirtualImage1; }
    QLabel* hiddenPicture() const { return ImageEgg; }
    QPushButton* okButton() const { return BitBtn1; }
    QPushButton* infoButton() const { return BitBtn2; }
    QMenu* infoMenu() const { return PopupMenu1; }
    QTimer* slideTimer() const { return TimerEgg; }
    QTimer* animationTimer() const { return tmTimer; }
    const FallingCharacters& rain() const { return rain_; }

    void BitBtn2Click();
    void Label5Click();
    void Credits1Click();
    void Howtouninstall1Click();
    void LicensePrivacyPolicy1Click();
    void Image1DblClick();
    void ImageEggDblClick();
    void TimerEggTimer();
    void tmTimerTimer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void layOut();
    void HighDPIImageYukle();
    // A new rain on a black canvas the size of the window; with startTimer also starts the steps.
    void startAnimation(bool startTimer);
    void screenChanged();
    void openMakerPage(const QString& path);

    AboutBoxEnvironment environment_;
    QFrame* PanelEgg;
    QLabel* ImageEgg;
    QFrame* Panel1;
    QLabel* Image2;
    QFrame* Bevel1;
    QLabel* VirtualImage1;
    QLabel* Label2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QLabel* Label5;
    QMenu* PopupMenu1;
    QTimer* tmTimer;
    QTimer* TimerEgg;
    FallingCharacters rain_;
    QImage canvas_;
    std::optional<qint64> menuClosedAtMs_;
    bool screenWatched_ = false;
};

} // namespace hl
