#pragma once
// The errors of a SOCKS 4, 4A or 5 handshake. Their messages reach the download logs unchanged.
#include "protocols/idexceptions.h"

namespace hl {

HL_DECLARE_EXCEPTION(EIdSocksError, EIdException);

// SOCKS 4 and 4A replies.
HL_DECLARE_FIXED_EXCEPTION(EIdSocksRequestFailed, EIdSocksError, "Request rejected or failed.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksRequestServerFailed, EIdSocksError,
                           "Request rejected because SOCKS server cannot connect.");
HL_DECLARE_FIXED_EXCEPTION(
    EIdSocksRequestIdentFailed, EIdSocksError,
    "Request rejected because the client program and identd report different user-ids.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksUnknownError, EIdSocksError, "Unknown socks error.");

// SOCKS 5 negotiation.
HL_DECLARE_FIXED_EXCEPTION(EIdSocksServerRespondError, EIdSocksError, "Socks server did not respond.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksAuthMethodError, EIdSocksError, "Invalid socks authentication method.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksAuthError, EIdSocksError, "Authentication error to socks server.");

// SOCKS 5 connect reply codes 1 to 8.
HL_DECLARE_FIXED_EXCEPTION(EIdSocksServerGeneralError, EIdSocksError, "General SOCKS server failure.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksServerPermissionError, EIdSocksError,
                           "Connection not allowed by ruleset.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksServerNetUnreachableError, EIdSocksError, "Network unreachable.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksServerHostUnreachableError, EIdSocksError, "Host unreachable.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksServerConnectionRefusedError, EIdSocksError, "Connection refused.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksServerTTLExpiredError, EIdSocksError, "TTL expired.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksServerCommandError, EIdSocksError, "Command not supported.");
HL_DECLARE_FIXED_EXCEPTION(EIdSocksServerAddressError, EIdSocksError, "Address type not supported.");

} // namespace hl
