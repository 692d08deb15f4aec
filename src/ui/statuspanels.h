#pragma once
#include <QStatusBar>

class QLabel;

namespace hl {

// The status bar with its two panels: 0 (wide, left) for what the run is doing, 1 (right) for the
// file name or the speed.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent);

    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

private:
    QLabel* panels_[2];
};

} // namespace hl
