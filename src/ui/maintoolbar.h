#pragma once
#include <QToolBar>

namespace hl {

struct MainMenuActions;

// The row of large captioned buttons at the top. Each button carries out a menu command and follows
// that command's enabled state.
class MainToolBar : public QToolBar {
    Q_OBJECT
public:
    MainToolBar(const MainMenuActions& menu, QWidget* parent);

private:
    void addButton(const char* name, const QString& caption, const QString& hint, const QString& icon,
                   QAction* command);
};

} // namespace hl
