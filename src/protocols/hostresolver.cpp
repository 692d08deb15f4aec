#include "protocols/hostresolver.h"

#include "protocols/socketerror.h"

#include <QStringList>
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

namespace hl {

namespace {

class SystemResolver final : public HostResolver {
public:
    std::optional<quint32> lookup(const QString& name) const override {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* result = nullptr;
        if (getaddrinfo(name.toUtf8().constData(), nullptr, &hints, &result) != 0 || !result) return {};
        const quint32 address = ntohl(reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr.s_addr);
        freeaddrinfo(result);
        return address;
    }
};

} // namespace

std::shared_ptr<const HostResolver> systemResolver() {
    static const auto resolver = std::make_shared<const SystemResolver>();
    return resolver;
}

std::optional<quint32> parseIPv4Literal(const QString& text) {
    const auto parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) return {};
    quint32 address = 0;
    for (const auto& part : parts) {
        if (part.isEmpty() || part.size() > 3) return {};
        for (QChar c : part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return {};
        const uint value = part.toUInt();
        if (value > 255) return {};
        address = (address << 8) | value;
    }
    return address;
}

quint32 resolveHost(const QString& host, const HostResolver& resolver) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return 0x7F000001u;
    if (auto literal = parseIPv4Literal(host)) return *literal;
    if (auto resolved = resolver.lookup(host)) return *resolved;
    raiseSocketError(WSAHOST_NOT_FOUND);
}

} // namespace hl
