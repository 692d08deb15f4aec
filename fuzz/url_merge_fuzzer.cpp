// libFuzzer target for URLs as the HTTP client takes them: parsed into parts and merged into the
// current target, the way a list line and then each redirect's Location are.
//
// Input: lines of UTF-8 text; the first is the URL asked for, every further one a Location merged
// into the target the lines before it left.
//
// Besides crashes it checks that a merged target's absolute URL (what a proxy is asked for, and
// what TLS takes its server name from) parses again to that target: the same server and request
// line, leaving out only the port its protocol implies; that for http and https it names the same
// target to a fresh client; and that a URL that cannot be requested leaves the target as it was.
#include "fuzzcheck.h"
#include "protocols/httpuri.h"
#include "protocols/idexceptions.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace {

using fuzzcheck::require;

bool sameParts(const hl::TIdURI& a, const hl::TIdURI& b) {
    return a.Protocol == b.Protocol && a.Host == b.Host && a.Port == b.Port && a.Path == b.Path &&
           a.Document == b.Document && a.Params == b.Params && a.IPv6 == b.IPv6 && a.Bookmark == b.Bookmark &&
           a.Username == b.Username && a.Password == b.Password;
}

// The same request: protocol, server and what the request line names.
bool sameRequest(const hl::TIdURI& a, const hl::TIdURI& b) {
    return a.Protocol == b.Protocol && a.Host == b.Host && a.Port == b.Port && a.IPv6 == b.IPv6 &&
           hl::requestTarget(a) == hl::requestTarget(b);
}

bool isDefaultPort(const QString& protocol, const QString& port) {
    return (protocol == QLatin1String("http") && port == QLatin1String("80")) ||
           (protocol == QLatin1String("https") && port == QLatin1String("443")) ||
           (protocol == QLatin1String("ftp") && port == QLatin1String("21"));
}

void checkParsesToItself(const hl::TIdURI& target) {
    const QString text = hl::absoluteURI(target);
    hl::TIdURI parsed = hl::parseURI(text);
    require(parsed.Port == target.Port ||
                (parsed.Port.isEmpty() && isDefaultPort(target.Protocol, target.Port)),
            "the absolute URL keeps the port unless the protocol implies it");
    parsed.Port = target.Port;
    require(sameRequest(parsed, target), "a merged target's absolute URL parses again to the target");

    if (!hl::isHttps(target) && target.Protocol != QLatin1String("http")) return;
    hl::TIdURI fresh;
    try {
        hl::mergeURI(fresh, hl::parseURI(text));
    } catch (const hl::EIdUnknownProtocol&) {
        require(false, "an http or https target's absolute URL can be requested");
    }
    require(sameRequest(fresh, target), "an http or https target's absolute URL names it to a fresh client");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    hl::TIdURI target;
    for (const QByteArray& line : input.split('\n')) {
        const hl::TIdURI next = hl::parseURI(QString::fromUtf8(line));
        const hl::TIdURI before = target;
        try {
            hl::mergeURI(target, next);
        } catch (const hl::EIdUnknownProtocol&) {
            require(sameParts(target, before), "a URL that cannot be requested leaves the target as it was");
            continue;
        }
        checkParsesToItself(target);
        hl::requestTarget(target);
        hl::hostHeaderValue(target, line.size() % 2 == 0);
        hl::authorityWithPort(target);
        hl::connectPort(target);
    }
    return 0;
}
