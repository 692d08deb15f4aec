#pragma once
#include <QSpinBox>
#include <limits>

namespace hl {

// An integer box with up and down arrows. A typed number outside the limits is accepted while
// typing and brought to the nearest limit when the box loses the focus (or interpretText() is
// called); text that is not a number counts as 0, brought into the limits the same way. Without
// explicit limits every 32-bit value is allowed, which is how the time-out boxes are meant: unbounded.
class NumberBox : public QSpinBox {
    Q_OBJECT
public:
    explicit NumberBox(QWidget* parent, int minimum = std::numeric_limits<int>::min(),
                       int maximum = std::numeric_limits<int>::max());

protected:
    QValidator::State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;
};

} // namespace hl
