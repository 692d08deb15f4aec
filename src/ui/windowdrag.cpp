#include "ui/windowdrag.h"

#include <QMouseEvent>
#include <QWidget>

namespace hl {

WindowDrag::WindowDrag(QWidget* window) : QObject(window), window_(window) {}

void WindowDrag::watch(std::initializer_list<QWidget*> widgets) {
    for (QWidget* widget : widgets)
        widget->installEventFilter(this);
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) break;
        dragging_ = true;
        lastPointer_ = mouse->globalPosition().toPoint();
        break;
    }
    case QEvent::MouseMove:
        if (dragging_) {
            const QPoint pointer = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            window_->move(window_->pos() + pointer - lastPointer_);
            lastPointer_ = pointer;
        }
        break;
    case QEvent::MouseButtonRelease:
        dragging_ = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace hl
