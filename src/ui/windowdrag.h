#pragma once
// Moving a frameless or fixed window by dragging its background: a press of any mouse button but
// the right one on one of the watched widgets starts a drag, each move shifts the window by the
// pointer's movement on the screen, and releasing the button ends it.
#include <QObject>
#include <QPoint>
#include <initializer_list>

class QWidget;

namespace hl {

class WindowDrag : public QObject {
    Q_OBJECT
public:
    // window: what moves (also the parent of this object).
    explicit WindowDrag(QWidget* window);

    void watch(std::initializer_list<QWidget*> widgets);
    bool dragging() const { return dragging_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    bool dragging_ = false;
    QPoint lastPointer_;
};

} // namespace hl
