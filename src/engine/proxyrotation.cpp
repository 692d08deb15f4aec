#include "engine/proxyrotation.h"

namespace hl {

void ProxyRotation::prepare(int lineCount, ProxyType type) {
    UseProxy = lineCount > 0;
    ProxyIndex = 0;
    ProxyLast = lineCount - 1;
    ProxyScheme = type;
}

ProxyLineFields ProxyRotation::takeNext(int lineCount, const std::function<QString(int)>& lineAt) {
    if (!UseProxy || lineCount <= 0) return {};
    if (ProxyIndex < 0 || ProxyIndex >= lineCount) ProxyIndex = 0;
    ProxyLineFields fields = parseProxyLine(lineAt(ProxyIndex));
    if (++ProxyIndex > ProxyLast) ProxyIndex = 0;
    return fields;
}

} // namespace hl
