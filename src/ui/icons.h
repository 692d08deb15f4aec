#pragma once
#include <QIcon>
#include <QString>

namespace hl {

// An icon of the window's own set (vector drawings, sharp at every scale factor). name is the file
// name without ".svg"; disabledName, when given, is drawn while the control is disabled.
QIcon themeIcon(const QString& name, const QString& disabledName = {});

} // namespace hl
