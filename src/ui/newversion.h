#pragma once
// The update notice: a small borderless window at the top right corner of the screen that names
// the published version and links to its download. It grows out of its centre, stays about eleven
// seconds, and shrinks back into its centre when it closes by itself.
#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QTimer;
class QToolButton;
class QVariantAnimation;

namespace hl {

struct NoticeTimings {
    int showDelayMs = 1;        // from creation to the start of the grow animation
    int animationMs = 100;      // grow and shrink
    int countdownStepMs = 1000; // one step of the countdown
    int countdownSteps = 11;    // steps until the notice closes itself
};

class TNewVer : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 68;
    static constexpr int kScreenMargin = 5;

    // link: what a click on the link text opens (the published download link, or the maker's home
    // page when the answer named none). openUrl opens an address with the desktop's handler. mainWindow: the
    // owner, which gets the keyboard focus back once the notice is shown. The notice deletes itself when it
    // closes.
    TNewVer(const QString& productName, const QString& version, const QString& link,
            std::function<void(const QString&)> openUrl, QWidget* mainWindow, NoticeTimings timings = {});

    QLabel* linkLabel() const { return Label2; }
    QToolButton* closeButton() const { return SpeedButton1; }
    // Steps left until the notice closes itself.
    int countdown() const { return countdown_; }

    void Label2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeAtTopRight();
    void showAnimated();
    void TimerCountdownTimer();
    void closeAnimated();
    // The part of the window shown while it grows or shrinks: a centred rectangle of that share.
    void revealShare(qreal share);
    void setLinkHot(bool hot);

    QWidget* mainWindow_;
    QString link_;
    std::function<void(const QString&)> openUrl_;
    NoticeTimings timings_;
    int countdown_;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QToolButton* SpeedButton1;
    QTimer* TimerCountdown;
    QVariantAnimation* animation_;
};

} // namespace hl
