#include "ui/numberbox.h"

#include <QRegularExpression>
#include <algorithm>

namespace hl {

NumberBox::NumberBox(QWidget* parent, int minimum, int maximum) : QSpinBox(parent) {
    setRange(minimum, maximum);
    setCorrectionMode(CorrectToNearestValue);
    setAccelerated(true);
}

QValidator::State NumberBox::validate(QString& input, int& /*position*/) const {
    static const QRegularExpression partialInteger(QStringLiteral("^-?[0-9]*$"));
    if (!partialInteger.match(input).hasMatch()) return QValidator::Invalid;
    bool ok = false;
    const qlonglong number = input.toLongLong(&ok);
    return ok && number >= minimum() && number <= maximum() ? QValidator::Acceptable
                                                            : QValidator::Intermediate;
}

void NumberBox::fixup(QString& input) const {
    bool ok = false;
    const qlonglong number = input.toLongLong(&ok);
    input = QString::number(std::clamp<qlonglong>(ok ? number : 0, minimum(), maximum()));
}

} // namespace hl
