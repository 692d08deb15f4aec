#pragma once
// Errors of the HTTP client beyond the transport's.
#include "protocols/idexceptions.h"

namespace hl {

// A reply whose status the client does not accept. The message is the status line as received.
class EIdHTTPProtocolException : public EIdException {
public:
    EIdHTTPProtocolException(const QString& statusLine, int errorCode, QString errorMessage)
        : EIdException(statusLine), ErrorCode(errorCode), ErrorMessage(std::move(errorMessage)) {}
    int ErrorCode;        // the status code, -1 when the status line had none
    QString ErrorMessage; // the reply body as text
};

// A chunked body whose chunk-size line is not a hexadecimal number, or whose chunk data is not
// followed by a line end. Such a body cannot be delimited, so it is not taken as complete.
HL_DECLARE_FIXED_EXCEPTION(EIdHTTPInvalidChunk, EIdException, "Invalid chunked encoding.");

// More reply header lines than the client's MaxHeaderLines.
HL_DECLARE_FIXED_EXCEPTION(EIdHTTPMaxHeaderLinesExceeded, EIdException, "Max header lines exceeded.");

// A request method that HTTP/1.0 does not know.
HL_DECLARE_FIXED_EXCEPTION(EIdHTTPMethodRequiresVersion11, EIdException,
                           "Request method requires HTTP version 1.1");

} // namespace hl
