#pragma once
// The check of the reply address that the feedback form may carry.
#include <QString>

namespace hl {

// Whether the whole of `address` matches
//   ^[a-zA-Z0-9_.+-]+@[a-zA-Z0-9-]+\.[a-zA-Z0-9-.]*[a-zA-Z0-9]+$
// (Perl-compatible, case-sensitive; a line break at the end does not pass for the end of the text).
// The caller trims first. Thread-safe.
bool IsValidEmailAddress(const QString& address);

} // namespace hl
