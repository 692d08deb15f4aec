#include "platform/systemdescription.h"

#include <QSysInfo>

namespace hl {

QString OperatingSystemText() {
    const QString architecture = QSysInfo::currentCpuArchitecture();
    const QString edition =
        architecture.contains(QLatin1String("64")) ? QStringLiteral("64-bit") : QStringLiteral("32-bit");
    return QSysInfo::prettyProductName() + QStringLiteral(", ") + QSysInfo::kernelType() + QLatin1Char(' ') +
           QSysInfo::kernelVersion() + QStringLiteral(", ") + edition;
}

QString LocaleTag(const QLocale& locale) {
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return QStringLiteral("xx");
    return locale.name().replace(QLatin1Char('_'), QLatin1Char('-'));
}

QString UserLocaleTag() {
    return LocaleTag(QLocale::system());
}

} // namespace hl
