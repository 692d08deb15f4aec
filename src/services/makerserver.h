#pragma once
// The maker's web server: where the online help, the update check and the feedback form live.
#include "protocols/hostresolver.h"

#include <QString>
#include <memory>

namespace hl {

// The server's host name: HARVESTLINE_MAKER_HOST from the environment when set, otherwise the
// build-time constant (a host under the reserved ".example" domain, so nothing reaches a real server).
QString MakerHost();

// The maker's home page: "http://" + host + "/".
QString MakerHomePage();

// "http://" + host + "/help/" + the product name in lower case with every space replaced by "-" + "/".
QString OnlineHelpAddress();

// Where the maker services post and link to, and how they find it. Tests point it at a loopback
// server ("127.0.0.1:port") and give a resolver that answers no name.
struct MakerServer {
    QString host = MakerHost();
    std::shared_ptr<const HostResolver> resolver = systemResolver();

    // scheme ("https://" or "http://") + host + path (which starts with "/").
    QString url(const QString& scheme, const QString& path) const { return scheme + host + path; }
    // The maker's home page: "https://" + host + "/".
    QString homePage() const { return url(QStringLiteral("https://"), QStringLiteral("/")); }
};

} // namespace hl
