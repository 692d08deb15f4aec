#include "ui/icons.h"

namespace hl {
namespace {

QString iconPath(const QString& name) {
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

} // namespace

QIcon themeIcon(const QString& name, const QString& disabledName) {
    QIcon icon(iconPath(name));
    if (!disabledName.isEmpty()) icon.addFile(iconPath(disabledName), QSize(), QIcon::Disabled);
    return icon;
}

} // namespace hl
