#pragma once
// One of the feedback form's two opinion panels ("I like it!", "I dislike it!"): a picture and a
// caption on a panel that is either raised or selected (highlighted, bevel lowered).
#include <QFrame>

class QLabel;

namespace hl {

class OpinionPanel : public QFrame {
    Q_OBJECT
public:
    // name: the panel's designer name; pictureName: its picture's designer name.
    OpinionPanel(const char* name, const char* pictureName, const QString& caption, const QString& picture,
                 QWidget* parent);

    bool selected() const { return selected_; }
    void setSelected(bool selected);
    QLabel* picture() const { return picture_; }

signals:
    // A press of the left mouse button on the panel or its picture.
    void pressed();

protected:
    // Also gets the presses on the picture and the caption, which take none themselves.
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPalette raisedColours_;
    QLabel* picture_;
    QLabel* caption_;
    bool selected_ = false;
};

} // namespace hl
