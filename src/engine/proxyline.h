#pragma once
// One line of the proxy list, host ":" port [":" user ":" password], read the way every download
// reads it; and the line that the proxy tab's "Add" button writes.
#include <QString>
#include <QtGlobal>
#include <optional>

namespace hl {

// The "Proxy Type" of a run: how every download applies its proxy line.
enum class ProxyType { Http, Socks5, Socks4A, Socks4 };

// "http", "socks5", "socks4a", "socks4".
QString proxySchemeName(ProxyType type);
// The type for one of those names (lower case, exact), or nothing.
std::optional<ProxyType> proxyTypeFromScheme(const QString& name);

// The proxy fields of one download. A download that took no line keeps these defaults.
struct ProxyLineFields {
    // The line as typed, password included: error lines show it after " Proxy: ".
    QString ProxySatir;
    QString ProxyHost;
    QString ProxyPort = QStringLiteral("0");
    QString ProxyUser;
    QString ProxyPass;

    // False for a line without ":" or with an empty host: that download goes direct.
    bool namesProxy() const { return !ProxyHost.isEmpty(); }
};

// Splits the line at every ":" into host, port, user and password; empty fields keep their place,
// fields after the fourth are ignored (a password is cut at its first ":"), nothing is trimmed.
// A line without ":" sets only ProxySatir. A host in square brackets is an IPv6 literal: the host
// is what stands between them (without the brackets), and the fields follow the "]".
ProxyLineFields parseProxyLine(const QString& line);

// The port field as a port number (surrounding blanks allowed), or the type's default when it is
// not a decimal number from 1 to 65535: 8080 for an HTTP proxy, 1080 for a SOCKS server.
quint16 proxyPortOrDefault(const QString& portField, ProxyType type);

// The line "Add" appends: the trimmed host (an IPv6 literal in square brackets), ":" and the port, then ":"
// user ":" password when the user is not empty (neither is trimmed; the password may be empty). Nothing when
// the host is blank, which the window answers with a beep.
std::optional<QString> buildProxyLine(const QString& host, int port, const QString& user,
                                      const QString& password);

} // namespace hl
