// libFuzzer target for the lines of the two lists a user loads or types: the URL list as a run
// walks it (blank lines dropped, the scheme repaired, ftp:// lines to the FTP procedure, others
// through the sharing-link rewriting) and the proxy list as the rotation hands out its lines.
//
// Input: a control byte (bits 0-1: the proxy type), then the bytes of a list file, decoded as the
// window and harvestline-cli decode list files; the same lines serve as both lists.
//
// Besides crashes it checks: no list line holds a line break; a repaired line is trimmed and
// repairs no further; an ftp:// line names a port that can be connected to and a path from "/";
// every requested URL is free of spaces; a proxy line's fields are its text between colons; the
// rotation hands out the lines in turn; and a line that names a proxy gives a route with a port.
#include "engine/ftpurl.h"
#include "engine/proxyrotation.h"
#include "engine/proxyroute.h"
#include "engine/runstart.h"
#include "engine/urlrewriting.h"
#include "fuzzcheck.h"
#include "platform/textencoding.h"
#include "settings/textlines.h"

#include <QByteArray>
#include <QStringList>

namespace {

using fuzzcheck::require;

void checkUrlLine(const QString& line) {
    const QString url = hl::FixURLScheme(line);
    require(url == url.trimmed(), "a repaired line is trimmed");
    require(hl::FixURLScheme(url) == url, "a repaired line needs no further repair");
    if (url.toLower().startsWith(QLatin1String("ftp://"))) {
        const hl::FtpUrlTarget target = hl::ParseFtpURL(url);
        require(target.port >= 1, "an ftp:// line names a port from 1 to 65535");
        require(target.path.startsWith(QLatin1Char('/')), "an ftp:// line asks for a path from \"/\"");
        require(!target.host.contains(QLatin1Char('/')) && !target.host.contains(QLatin1Char('@')),
                "an ftp:// host holds neither \"/\" nor user-info");
        return;
    }
    const QString requested = hl::EncodeSpaces(hl::RewriteSharingLink(url));
    require(!requested.contains(QLatin1Char(' ')), "a requested URL holds no space");
}

void checkProxyLine(const QString& line, hl::ProxyType type) {
    const hl::ProxyLineFields fields = hl::parseProxyLine(line);
    require(fields.ProxySatir == line, "a proxy line is kept as typed");
    if (!line.contains(QLatin1Char(':'))) {
        require(!fields.namesProxy(), "a line without \":\" goes direct");
    } else if (const qsizetype close = line.indexOf(QLatin1Char(']')); line.startsWith(QLatin1Char('[')) && close > 0) {
        // An IPv6 literal: the host is what the brackets hold, the other fields follow the "]:".
        require(fields.ProxyHost == line.mid(1, close - 1), "a bracketed host is what the brackets hold");
        const QString rest = line.mid(close + 1);
        if (rest.startsWith(QLatin1Char(':'))) {
            const QStringList parts = rest.mid(1).split(QLatin1Char(':'));
            require(fields.ProxyPort == parts[0] && fields.ProxyUser == parts.value(1) &&
                        fields.ProxyPass == parts.value(2),
                    "after a bracketed host the fields are the text between the colons");
        } else {
            require(fields.ProxyPort == QLatin1String("0") && fields.ProxyUser.isEmpty() && fields.ProxyPass.isEmpty(),
                    "a bracketed host without a colon after it names no port");
        }
    } else {
        const QStringList parts = line.split(QLatin1Char(':'));
        require(fields.ProxyHost == parts[0] && fields.ProxyPort == parts[1] &&
                    fields.ProxyUser == parts.value(2) && fields.ProxyPass == parts.value(3),
                "the fields are the line's text between its colons");
    }
    const hl::ProxyRoute route = hl::proxyRouteFor(fields, type);
    require(std::holds_alternative<std::monostate>(route) == !fields.namesProxy(),
            "a line that names a proxy gives a route, any other none");
    if (const auto* http = std::get_if<hl::HttpProxySettings>(&route))
        require(http->ProxyPort != 0, "an HTTP proxy route has a port");
    if (const auto* socks = std::get_if<hl::TIdSocksInfo>(&route))
        require(socks->Port != 0 && socks->enabled(), "a SOCKS route has a port and a version");

    // The line the proxy tab's "Add" writes for these fields reads back as them.
    const QString host = fields.ProxyHost.trimmed();
    const quint16 port = hl::proxyPortOrDefault(fields.ProxyPort, type);
    if (host.isEmpty()) return;
    const auto added = hl::buildProxyLine(host, port, fields.ProxyUser, fields.ProxyPass);
    require(added.has_value(), "a host that is not blank can be added");
    const hl::ProxyLineFields reread = hl::parseProxyLine(*added);
    require(reread.ProxyHost == host && hl::proxyPortOrDefault(reread.ProxyPort, type) == port,
            "an added line reads back with its host and port");
    if (!fields.ProxyUser.isEmpty())
        require(reread.ProxyUser == fields.ProxyUser && reread.ProxyPass == fields.ProxyPass,
                "an added line reads back with its credentials");
}

void checkRotation(const QStringList& listed, hl::ProxyType type) {
    // The front end hands the rotation the list without its blank lines, as the run starts.
    QStringList lines = hl::RemoveBlankLines(listed);
    const auto lineAt = [&lines](int index) { return lines[index]; };
    hl::ProxyRotation rotation;
    rotation.prepare(int(lines.size()), type);
    require(rotation.UseProxy == !lines.isEmpty(), "the rotation is used when lines are left");
    for (qsizetype turn = 0; turn < 2 * lines.size() + 1; ++turn) {
        const hl::ProxyLineFields taken = rotation.takeNext(int(lines.size()), lineAt);
        if (lines.isEmpty()) {
            require(taken.ProxySatir.isEmpty(), "an empty rotation hands out no line");
            continue;
        }
        require(taken.ProxySatir == lines[turn % lines.size()], "the rotation hands out the lines in turn");
    }
    // Lines deleted during a run: an index past the end wraps to the first line that is left.
    if (lines.size() > 1) {
        rotation.takeNext(int(lines.size()), lineAt);
        lines.resize(1);
        require(rotation.takeNext(int(lines.size()), lineAt).ProxySatir == lines[0],
                "a rotation past the list's end wraps");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static constexpr hl::ProxyType kTypes[] = {hl::ProxyType::Http, hl::ProxyType::Socks5,
                                               hl::ProxyType::Socks4A, hl::ProxyType::Socks4};
    const hl::ProxyType type = kTypes[data[0] & 3];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QStringList lines = hl::SplitLines(hl::DecodeTextFile(bytes).text);
    for (const QString& line : lines)
        require(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')),
                "a list line holds no line break");

    for (const QString& line : hl::RemoveBlankLines(lines))
        checkUrlLine(line);
    for (const QString& line : lines)
        checkProxyLine(line, type);
    checkRotation(lines, type);
    return 0;
}
