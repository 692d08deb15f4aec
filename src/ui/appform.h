#pragma once
#include <QMainWindow>

namespace hl {

// The main window.
class TAppForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TAppForm(QWidget* parent = nullptr);
};

} // namespace hl
