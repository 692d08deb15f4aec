#include "protocols/idexceptions.h"
#include "protocols/socketerror.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(SocketError, MapsErrnoToWindowsSocketsNumbers) {
    const std::pair<int, int> cases[] = {
        {ECONNREFUSED, 10061}, {ETIMEDOUT, 10060},   {ECONNRESET, 10054}, {ECONNABORTED, 10053},
        {EHOSTUNREACH, 10065}, {ENETUNREACH, 10051}, {EADDRINUSE, 10048}, {EPIPE, 10054},
    };
    for (auto [posix, wsa] : cases)
        EXPECT_EQ(wsaErrorFromErrno(posix), wsa) << posix;
}

TEST(SocketError, MessageHasNumberCrLfAndText) {
    EXPECT_EQ(socketErrorMessage(10061), QStringLiteral("Socket Error # 10061\r\nConnection refused."));
    EXPECT_EQ(socketErrorMessage(11001), QStringLiteral("Socket Error # 11001\r\nHost not found."));
    EXPECT_EQ(socketErrorMessage(10066), QStringLiteral("Socket Error # 10066\r\nDirectory not empty"));
    // A number outside the table keeps the format with an empty text.
    EXPECT_EQ(socketErrorMessage(12345), QStringLiteral("Socket Error # 12345\r\n"));
}

TEST(SocketError, TimeOutWhileReceivingIsAReadTimeout) {
    errno = ETIMEDOUT;
    EXPECT_THROW(raiseLastSocketError(true), EIdReadTimeout);
    errno = ETIMEDOUT;
    try {
        raiseLastSocketError(false);
        FAIL();
    } catch (const EIdSocketError& e) {
        EXPECT_EQ(e.LastError, 10060);
    }
}

} // namespace
} // namespace hl
