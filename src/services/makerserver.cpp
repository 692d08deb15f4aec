#include "services/makerserver.h"

#include "buildinfo.h"

#include <QtGlobal>

namespace hl {

QString MakerHost() {
    const QString overridden = qEnvironmentVariable("HARVESTLINE_MAKER_HOST");
    return overridden.isEmpty() ? QStringLiteral(HARVESTLINE_MAKER_HOST) : overridden;
}

QString MakerHomePage() {
    return QStringLiteral("http://") + MakerHost() + QLatin1Char('/');
}

QString OnlineHelpAddress() {
    QString product = QStringLiteral(HARVESTLINE_PRODUCT_NAME).toLower();
    product.replace(QLatin1Char(' '), QLatin1Char('-'));
    return QStringLiteral("http://") + MakerHost() + QStringLiteral("/help/") + product + QLatin1Char('/');
}

} // namespace hl
