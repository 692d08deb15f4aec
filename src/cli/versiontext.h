#pragma once
// The text of harvestline-cli --version.
#include <QString>

namespace hl::cli {

// Three lines: "harvestline-cli (Harvestline) " and the version; the copyright holder with the
// license and where its text was found; the OpenSSL library that https would use, or why none
// could be loaded. Loads OpenSSL (as the first https URL would), so it blocks for that.
QString VersionText();

} // namespace hl::cli
