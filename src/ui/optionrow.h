#pragma once
#include <QWidget>

class QHBoxLayout;
class QLabel;

namespace hl {

// One row under the tab area: a fixed-width label in the rows' larger type, then its controls.
// Every such row shares the label width, so their controls line up in one column.
class OptionRow : public QWidget {
    Q_OBJECT
public:
    OptionRow(const QString& objectName, const QString& caption, QWidget* parent);

    // Adds control (re-parented to the row) with the given stretch factor.
    void addControl(QWidget* control, int stretch = 0);
    void addStretch();
    QLabel* label() const { return label_; }

    // The 12-point type of these rows, in the platform's UI family.
    static QFont rowFont();
    // 200 pixels, or more when the platform's type needs it for the longest row label.
    static int labelWidth();

private:
    QHBoxLayout* layout_;
    QLabel* label_;
};

} // namespace hl
