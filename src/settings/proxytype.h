#pragma once
// The "Proxy Type" of a run: how every download applies its proxy line. One type for the menu, the
// settings file, the command line and the engine, with one text for each.
#include <QLatin1String>
#include <QString>
#include <optional>

namespace hl {

enum class ProxyType { Http, Socks5, Socks4A, Socks4 };

// The text settings.ini stores: "HTTP", "SOCKS5", "SOCKS4A" or "SOCKS4".
QLatin1String ProxyTypeText(ProxyType type);
// The type whose text is exactly text (case and blanks count), or nothing.
std::optional<ProxyType> ProxyTypeFromText(const QString& text);

} // namespace hl
