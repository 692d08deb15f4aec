#pragma once
// The maker's web server: where the online help, the update check and the feedback form live.
#include <QString>

namespace hl {

// The server's host name: HARVESTLINE_MAKER_HOST from the environment when set, otherwise the
// build-time constant (a host under the reserved ".example" domain, so nothing reaches a real server).
QString MakerHost();

// The maker's home page: "http://" + host + "/".
QString MakerHomePage();

// "http://" + host + "/help/" + the product name in lower case with every space replaced by "-" + "/".
QString OnlineHelpAddress();

} // namespace hl
