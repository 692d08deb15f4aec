#pragma once
// Connecting to a host that has several addresses, as RFC 8305 ("happy eyeballs") describes: the
// attempts start one after another, a fixed delay apart or at once when the running ones have
// failed, and the first connection to complete wins while the others are closed. A host with one
// address gets exactly one attempt, as a plain connect would.
#include "protocols/ipaddress.h"

#include <functional>
#include <vector>

namespace hl {

// How long an attempt may run before the next one starts beside it (RFC 8305, section 5).
constexpr int kConnectionAttemptDelayMs = 250;

// The order of the attempts: the families alternate, starting with the family of the first
// address (RFC 8305, section 4); within a family the resolver's order stays.
std::vector<IpAddress> interleaveFamilies(const std::vector<IpAddress>& addresses);

struct RaceWinner {
    int descriptor = -1; // connected, non-blocking, close-on-exec, TCP_NODELAY; owned by the caller
    IpAddress address;
};

// Connects to port on the first of addresses that answers, starting the attempts in the order of
// interleaveFamilies, the next one attemptDelayMs after the last (at once when every running
// attempt has failed). Blocks the calling thread. timeoutMs bounds the whole race (negative: no
// limit) and ends it with EIdConnectTimeout; shouldAbort (when set) is asked every
// abortCheckMs while nothing happens, and true ends the race with EIdOperationAborted. When every
// attempt fails, throws the socket error of the last failure. Whatever the outcome, no socket
// but the winner's stays open.
RaceWinner connectFirstReachable(const std::vector<IpAddress>& addresses, quint16 port, int timeoutMs,
                                 int attemptDelayMs, const std::function<bool()>& shouldAbort,
                                 int abortCheckMs);

} // namespace hl
