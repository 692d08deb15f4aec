#pragma once
// Name resolution for every outgoing connection. The resolver is injectable so that tests can
// exercise lookup failures without sending a packet beyond loopback.
#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

namespace hl {

class HostResolver {
public:
    virtual ~HostResolver() = default;
    // The IPv4 address (host byte order) for a name, or nothing when the name is unknown.
    // Called on the connecting thread; must be thread-safe.
    virtual std::optional<quint32> lookup(const QString& name) const = 0;
};

// The operating system's resolver (getaddrinfo, IPv4).
std::shared_ptr<const HostResolver> systemResolver();

// The address for a host as the clients connect to it: "LOCALHOST" in any letter case is
// 127.0.0.1, an IPv4 literal is used unchanged, any other name goes to the resolver. An unknown
// name throws EIdSocketError 11001 "Host not found.".
quint32 resolveHost(const QString& host, const HostResolver& resolver);

// An IPv4 literal ("a.b.c.d", each part 0-255) in host byte order, or nothing.
std::optional<quint32> parseIPv4Literal(const QString& text);

} // namespace hl
