#include "protocols/compressorzlib.h"

namespace hl {

std::optional<ContentCoding> TIdCompressorZLib::codingFor(const QString& contentEncoding) const {
    if (contentEncoding.compare(QLatin1String("gzip"), Qt::CaseInsensitive) == 0) return ContentCoding::Gzip;
    if (contentEncoding.compare(QLatin1String("deflate"), Qt::CaseInsensitive) == 0)
        return ContentCoding::Deflate;
    return std::nullopt;
}

} // namespace hl
