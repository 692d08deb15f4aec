#pragma once
// The content decoder an HTTP client is given to accept compressed replies. With one set, the
// client offers "deflate, gzip, identity" and decodes bodies sent with either coding.
#include "protocols/contentdecoder.h"

#include <QString>
#include <optional>

namespace hl {

class TIdCompressorZLib {
public:
    // The coding named by a Content-Encoding value: exactly "gzip" or "deflate" in any letter
    // case; nothing for any other value (such bodies are kept as received).
    std::optional<ContentCoding> codingFor(const QString& contentEncoding) const;
};

} // namespace hl
