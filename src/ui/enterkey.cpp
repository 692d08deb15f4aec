#include "ui/enterkey.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace hl {

EnterAction enterActionFor(const QWidget* focus) {
    if (qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QAbstractSpinBox*>(focus) ||
        qobject_cast<const QComboBox*>(focus) || qobject_cast<const QCheckBox*>(focus) ||
        qobject_cast<const QRadioButton*>(focus))
        return EnterAction::PressDefaultButton;
    if (qobject_cast<const QAbstractButton*>(focus)) return EnterAction::PressFocusedButton;
    return EnterAction::Nothing;
}

} // namespace hl
