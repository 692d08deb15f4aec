#include "engine/proxyrotation.h"

namespace hl {

void ProxyRotation::prepare(QStringList& lines, ProxyType type) {
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    UseProxy = !lines.isEmpty();
    ProxyIndex = 0;
    ProxyLast = static_cast<qint32>(lines.size()) - 1;
    ProxyScheme = type;
}

ProxyLineFields ProxyRotation::takeNext(const QStringList& lines) {
    if (!UseProxy || lines.isEmpty()) return {};
    if (ProxyIndex < 0 || ProxyIndex >= lines.size()) ProxyIndex = 0;
    ProxyLineFields fields = parseProxyLine(lines.at(ProxyIndex));
    if (++ProxyIndex > ProxyLast) ProxyIndex = 0;
    return fields;
}

} // namespace hl
