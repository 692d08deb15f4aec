#pragma once
#include <QWidget>

class QLabel;
class QProgressBar;

namespace hl {

// The progress strip above the status bar: a bar from 0 to 1000 that can switch to a marquee
// (a running indicator for transfers of unknown length), and the speed label at its right.
class ProgressRow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressRow(QWidget* parent);

    static constexpr int maximum = 1000;

    // Normal style at position (0 to 1000); leaves the marquee when it was on.
    void setPosition(int position);
    void setMarquee(bool on);
    bool marquee() const;
    int position() const;
    void setSpeedText(const QString& text);
    QString speedText() const;

private:
    QProgressBar* bar_;
    QLabel* speed_;
};

} // namespace hl
