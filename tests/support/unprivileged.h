#pragma once
// Running a check without root's power to ignore file permissions, so that tests of read-only
// folders mean the same whether the suite runs as root or as a user.
#include <functional>

namespace hl::test {

// Runs `check` in a forked child process; when this process is root, the child first becomes the
// user "nobody" (uid and gid 65534). Returns the child's exit code: check()'s result, or 99 when
// the child could not drop root. Blocks until the child ends. Folders the child must reach have to
// be open to others (mode 0755 or wider).
int runUnprivileged(const std::function<int()>& check);

} // namespace hl::test
