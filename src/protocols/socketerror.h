#pragma once
// Socket errors keep the Windows Sockets numbers and texts on every platform, so that logs read
// the same everywhere: errno values are mapped to those numbers before a message is built.
#include <QString>

namespace hl {

constexpr int WSAEINTR = 10004;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAHOST_NOT_FOUND = 11001;

// The Windows Sockets number for a POSIX errno value; unknown values are returned unchanged.
int wsaErrorFromErrno(int posixErrno);

// The table text for a Windows Sockets number, or an empty text for a number not in the table.
QString socketErrorText(int wsaError);

// "Socket Error # " + number + CRLF + text.
QString socketErrorMessage(int wsaError);

// Throws EIdSocketError for a Windows Sockets number.
[[noreturn]] void raiseSocketError(int wsaError);

// Throws EIdSocketError for the current errno; a time-out becomes "Read timed out." when reading.
[[noreturn]] void raiseLastSocketError(bool whileReceiving = false);

} // namespace hl
