#pragma once
// A resolver that knows no name, so that a test whose client would look one up fails with "Host not
// found." instead of sending a query beyond loopback.
#include "protocols/hostresolver.h"

#include <memory>

namespace hl::test {

class NoNamesResolver final : public HostResolver {
public:
    std::optional<quint32> lookup(const QString&) const override { return std::nullopt; }
};

inline std::shared_ptr<const HostResolver> noNamesResolver() {
    return std::make_shared<NoNamesResolver>();
}

} // namespace hl::test
