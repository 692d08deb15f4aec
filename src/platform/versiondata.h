#pragma once
// The program's own version data, compiled in from the build: the fixed file version and the
// named text entries (company, product, ...), as the version reader expects to find them.
#include <QString>
#include <utility>
#include <vector>

namespace hl {

struct VersionNumbers {
    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;
};

struct VersionData {
    VersionNumbers fileVersion;
    // Entry name ("CompanyName", "ProductName", ...) and its text; an entry the build does not
    // fill is absent rather than empty.
    std::vector<std::pair<QString, QString>> entries;
};

// The running program's version data. Thread-safe; never fails.
const VersionData& ProgramVersionData();

} // namespace hl
