#pragma once
// The error vocabulary of the transfer clients. Every failure of a transfer is one of these; its
// message is what the download logs show.
#include "platform/exception.h"

namespace hl {

HL_DECLARE_EXCEPTION(EIdException, Exception);

HL_DECLARE_FIXED_EXCEPTION(EIdConnectTimeout, EIdException, "Connect timed out.");
HL_DECLARE_FIXED_EXCEPTION(EIdReadTimeout, EIdException, "Read timed out.");
HL_DECLARE_FIXED_EXCEPTION(EIdConnClosedGracefully, EIdException, "Connection Closed Gracefully.");
HL_DECLARE_FIXED_EXCEPTION(EIdNotConnected, EIdException, "Not Connected");
HL_DECLARE_FIXED_EXCEPTION(EIdReadLnMaxLineLengthExceeded, EIdException, "Max line length exceeded.");
HL_DECLARE_FIXED_EXCEPTION(EIdHostRequired, EIdException, "A Host is required");
HL_DECLARE_FIXED_EXCEPTION(EIdPortRequired, EIdException, "A Port is required");
HL_DECLARE_FIXED_EXCEPTION(EIdAlreadyConnected, EIdException, "Already connected.");
HL_DECLARE_FIXED_EXCEPTION(EIdUnknownProtocol, EIdException, "Unknown Protocol");
HL_DECLARE_FIXED_EXCEPTION(EIdIOHandlerPropInvalid, EIdException, "IOHandler value is not valid");
HL_DECLARE_FIXED_EXCEPTION(EIdIOHandlerStreamDataTooLarge, EIdException, "Data is too large for stream");
// A wait on the socket that its owner's abort check ended (a stop request).
HL_DECLARE_FIXED_EXCEPTION(EIdOperationAborted, EIdException, "Operation aborted.");

// FTP: a reply whose code the command does not accept; the message is the reply's text lines,
// each followed by CRLF.
HL_DECLARE_EXCEPTION(EIdReplyRFCError, EIdException);
// FTP: the server answered 421 and the connection was closed; the message is the reply's text.
HL_DECLARE_EXCEPTION(EIdFTPServiceNotAvailable, EIdReplyRFCError);
// FTP: a passive-mode reply without a usable address and port.
HL_DECLARE_EXCEPTION(EIdFTPInvalidPassiveReply, EIdException);
// FTP: a reply that runs on for more lines than any real server sends.
HL_DECLARE_FIXED_EXCEPTION(EIdFTPReplyTooLong, EIdException, "Reply has too many lines.");

// A failed socket call. LastError holds the Windows Sockets number (see socketerror.h), so the
// message reads the same on every platform.
class EIdSocketError : public EIdException {
public:
    EIdSocketError(int lastError, const QString& message) : EIdException(message), LastError(lastError) {}
    int LastError;
};

} // namespace hl
