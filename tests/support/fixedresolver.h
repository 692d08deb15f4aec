#pragma once
// A resolver that knows only the names a test gives it, each with its addresses in the order they
// are to be tried; every other name is unknown. No lookup leaves the process.
#include "protocols/hostresolver.h"

#include <QString>
#include <map>
#include <vector>

namespace hl::test {

class FixedResolver final : public HostResolver {
public:
    explicit FixedResolver(std::map<QString, std::vector<IpAddress>> names) : names_(std::move(names)) {}
    std::vector<IpAddress> lookupAll(const QString& name) const override {
        const auto found = names_.find(name);
        return found == names_.end() ? std::vector<IpAddress>{} : found->second;
    }

private:
    std::map<QString, std::vector<IpAddress>> names_;
};

} // namespace hl::test
