#include "services/emailaddress.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <memory>
#include <pcre2.h>

namespace hl {
namespace {

constexpr char16_t kPattern[] = u"^[a-zA-Z0-9_.+-]+@[a-zA-Z0-9-]+\\.[a-zA-Z0-9-.]*[a-zA-Z0-9]+$";

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

// Compiled once; a compiled pattern may be shared by threads that match with their own match data.
const pcre2_code* emailPattern() {
    static const std::unique_ptr<pcre2_code, CodeFree> code = [] {
        int error = 0;
        PCRE2_SIZE offset = 0;
        return std::unique_ptr<pcre2_code, CodeFree>(
            pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPattern), PCRE2_ZERO_TERMINATED, PCRE2_DOLLAR_ENDONLY,
                          &error, &offset, nullptr));
    }();
    return code.get();
}

} // namespace

bool IsValidEmailAddress(const QString& address) {
    const pcre2_code* pattern = emailPattern();
    if (!pattern) return false;
    const std::unique_ptr<pcre2_match_data, MatchDataFree> match(
        pcre2_match_data_create_from_pattern(pattern, nullptr));
    if (!match) return false;
    return pcre2_match(pattern, reinterpret_cast<PCRE2_SPTR>(address.utf16()), address.size(), 0, 0,
                       match.get(), nullptr) >= 0;
}

} // namespace hl
