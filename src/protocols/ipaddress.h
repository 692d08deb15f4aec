#pragma once
// Internet addresses of both families, and how a host is written next to a port. Every place that
// puts a host into an authority (a CONNECT target, a Host value, an FTP HOST command, a proxy line)
// brackets an IPv6 literal here, so the rule lives once.
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace hl {

class IpAddress {
public:
    enum class Family { IPv4, IPv6 };

    // 0.0.0.0.
    IpAddress() = default;
    // An IPv4 address in host byte order.
    static IpAddress fromIPv4(quint32 address);
    // The 16 bytes of an IPv6 address in network order.
    static IpAddress fromIPv6(const std::array<quint8, 16>& bytes);
    // An IPv4 literal ("a.b.c.d", each part 0-255 in one to three digits) or an IPv6 literal, with
    // or without the square brackets of a URL; nothing for any other text (names included).
    static std::optional<IpAddress> parse(const QString& literal);

    Family family() const { return family_; }
    bool isIPv6() const { return family_ == Family::IPv6; }
    // The IPv4 address in host byte order (0 for an IPv6 address).
    quint32 ipv4() const { return ipv4_; }
    // The IPv6 address in network order (all zero for an IPv4 address).
    const std::array<quint8, 16>& ipv6() const { return ipv6_; }
    // "a.b.c.d", or the shortest IPv6 form ("::1"), never bracketed.
    QString toString() const;

    bool operator==(const IpAddress&) const = default;

private:
    Family family_ = Family::IPv4;
    quint32 ipv4_ = 0;
    std::array<quint8, 16> ipv6_{};
};

// An IPv4 literal ("a.b.c.d", each part 0-255 in one to three digits) in host byte order, or
// nothing.
std::optional<quint32> parseIPv4Literal(const QString& text);

// The host as it stands in an authority: an IPv6 literal (any host with a ":") in square
// brackets, everything else unchanged. A host already in brackets stays as it is.
QString bracketedHost(const QString& host);

// host ":" port, the host bracketed as bracketedHost does.
QString hostAndPort(const QString& host, quint16 port);

} // namespace hl
