#include "protocols/hostresolver.h"

#include "protocols/socketerror.h"

#include <algorithm>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace hl {

namespace {

std::optional<IpAddress> addressOf(const sockaddr* address) {
    if (address->sa_family == AF_INET)
        return IpAddress::fromIPv4(ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr));
    if (address->sa_family == AF_INET6) {
        std::array<quint8, 16> bytes{};
        std::memcpy(bytes.data(), &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, bytes.size());
        return IpAddress::fromIPv6(bytes);
    }
    return std::nullopt;
}

class SystemResolver final : public HostResolver {
public:
    std::vector<IpAddress> lookupAll(const QString& name) const override {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        // No IPv6 addresses on a machine that could not reach them anyway.
        hints.ai_flags = AI_ADDRCONFIG;
        addrinfo* result = nullptr;
        if (getaddrinfo(name.toUtf8().constData(), nullptr, &hints, &result) != 0 || !result) return {};
        std::vector<IpAddress> addresses;
        for (const addrinfo* entry = result; entry; entry = entry->ai_next) {
            const auto address = addressOf(entry->ai_addr);
            if (address && std::find(addresses.begin(), addresses.end(), *address) == addresses.end())
                addresses.push_back(*address);
        }
        freeaddrinfo(result);
        return addresses;
    }

    std::optional<quint32> lookup(const QString& name) const override {
        for (const IpAddress& address : lookupAll(name))
            if (!address.isIPv6()) return address.ipv4();
        return std::nullopt;
    }
};

} // namespace

std::vector<IpAddress> HostResolver::lookupAll(const QString& name) const {
    if (const auto address = lookup(name)) return {IpAddress::fromIPv4(*address)};
    return {};
}

std::optional<quint32> HostResolver::lookup(const QString&) const {
    return std::nullopt;
}

std::shared_ptr<const HostResolver> systemResolver() {
    static const auto resolver = std::make_shared<const SystemResolver>();
    return resolver;
}

std::vector<IpAddress> resolveAddresses(const QString& host, const HostResolver& resolver) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return {IpAddress::fromIPv4(0x7F000001u)};
    if (const auto literal = IpAddress::parse(host)) return {*literal};
    std::vector<IpAddress> addresses = resolver.lookupAll(host);
    if (addresses.empty()) raiseSocketError(WSAHOST_NOT_FOUND);
    return addresses;
}

quint32 resolveHost(const QString& host, const HostResolver& resolver) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return 0x7F000001u;
    if (const auto literal = parseIPv4Literal(host)) return *literal;
    if (!IpAddress::parse(host))
        for (const IpAddress& address : resolver.lookupAll(host))
            if (!address.isIPv6()) return address.ipv4();
    raiseSocketError(WSAHOST_NOT_FOUND);
}

} // namespace hl
