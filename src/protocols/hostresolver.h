#pragma once
// Name resolution for every outgoing connection. The resolver is injectable so that tests can
// exercise lookup failures, and hand out addresses of both families in any order, without sending
// a packet beyond loopback.
#include "protocols/ipaddress.h"

#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <vector>

namespace hl {

class HostResolver {
public:
    virtual ~HostResolver() = default;
    // Every address of a name, IPv6 and IPv4, in the order the resolver prefers them; empty when
    // the name is unknown. The default offers the one IPv4 address of lookup(), for resolvers that
    // know no other. Called on the connecting thread; must be thread-safe.
    virtual std::vector<IpAddress> lookupAll(const QString& name) const;
    // One IPv4 address (host byte order) for a name, or nothing. A resolver overrides this or
    // lookupAll; the default knows no name.
    virtual std::optional<quint32> lookup(const QString& name) const;
};

// The operating system's resolver (getaddrinfo): both families in the system's order of
// preference, IPv6 only where the machine has an IPv6 address configured.
std::shared_ptr<const HostResolver> systemResolver();

// The addresses a connection to host tries, in order: "LOCALHOST" in any letter case is 127.0.0.1,
// an IPv4 or IPv6 literal (with or without brackets) is used unchanged, any other name goes to the
// resolver. An unknown name throws EIdSocketError 11001 "Host not found.".
std::vector<IpAddress> resolveAddresses(const QString& host, const HostResolver& resolver);

// The IPv4 address for a host, by the same rules, for peers that know no other family (SOCKS 4).
// Throws EIdSocketError 11001 when the host has no IPv4 address.
quint32 resolveHost(const QString& host, const HostResolver& resolver);

} // namespace hl
