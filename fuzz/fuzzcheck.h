#pragma once
// What the fuzz targets share: a check of a rule that must hold for every input. A broken rule ends
// the run with the rule's text, so that a finding says what went wrong and not only where.
#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

inline void require(bool condition, const char* rule) {
    if (condition) return;
    std::fprintf(stderr, "broken rule: %s\n", rule);
    std::abort();
}

} // namespace fuzzcheck
